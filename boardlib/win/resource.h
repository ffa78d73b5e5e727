// Resources of OVD.DLL.
#pragma once
#define IDI_BOARD 133
// The adapter class key (the same text as peer::kAdapterClassKey).
#define IDS_ADAPTER_CLASS_KEY 2
#define IDD_BOARD_STATUS 101
#define IDC_ERROR_TEXT 1000
#define IDC_ELAPSED 1002
#define IDC_STATUS 1004
#define IDC_AMOUNT 1005
#define IDC_RECONNECT 1006
#define IDC_RATE 1007
