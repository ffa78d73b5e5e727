// Dialog templates of the window framework's tests.
#pragma once
#define IDD_TEST_TOP 101
#define IDD_TEST_CHILD 102
#define IDC_TEST_EDIT 1001
#define IDC_TEST_CHECK 1002
