#include "tests/support/failing_files.h"

class FailingStream : public FileStream {
 public:
  FailingStream(std::unique_ptr<FileStream> f, FailingFiles* owner) : f_(std::move(f)), owner_(owner) {}
  bool Write(const void* d, std::size_t n) override {
    std::size_t fits = n;
    if (owner_->AllowWrite(n, &fits)) return f_->Write(d, n);
    if (fits > 0) f_->Write(d, fits);
    return false;
  }
  std::size_t Read(void* d, std::size_t n) override { return f_->Read(d, n); }
  bool Seek(std::uint64_t o) override { return f_->Seek(o); }
  bool Flush() override { return f_->Flush(); }
  void Close() override { f_->Close(); }

 private:
  std::unique_ptr<FileStream> f_;
  FailingFiles* owner_;
};

std::unique_ptr<FileStream> FailingFiles::Open(const std::string& path, OpenMode mode) {
  auto f = real_.Open(path, mode);
  if (!f) return f;
  return std::make_unique<FailingStream>(std::move(f), this);
}

bool FailingFiles::AllowWrite(std::size_t size, std::size_t* fits) {
  *fits = 0;
  if (onWrite) onWrite(size);
  if (writeFailures > 0) {
    --writeFailures;
    ++failedWrites;
    return false;
  }
  if (spaceLeft < 0 || static_cast<std::uint64_t>(spaceLeft) >= size) {
    if (spaceLeft >= 0) spaceLeft -= static_cast<std::int64_t>(size);
    return true;
  }
  *fits = static_cast<std::size_t>(spaceLeft);
  spaceLeft = 0;
  ++failedWrites;
  return false;
}
