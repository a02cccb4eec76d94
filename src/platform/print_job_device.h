#pragma once

// Lets Qt's PDF writer write a job into a PrintJobFile, which checks every
// write; Qt's own file output drops write failures unseen.

#include "platform/print_job_file.h"

#include <QIODevice>

namespace pelnor {

class PrintJobDevice : public QIODevice {
 public:
  explicit PrintJobDevice(PrintJobFile& file) : file_(file) { open(QIODevice::WriteOnly); }

  bool isSequential() const override { return true; }

 protected:
  qint64 readData(char*, qint64) override { return -1; }
  qint64 writeData(const char* data, qint64 size) override {
    file_.Write(data, static_cast<std::size_t>(size));
    return file_.Failed() ? -1 : size;
  }

 private:
  PrintJobFile& file_;
};

}  // namespace pelnor
