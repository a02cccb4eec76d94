#pragma once

// Takes the URLs that QDesktopServices would hand to the desktop, so form
// tests open nothing for real.

#include <QDesktopServices>
#include <QObject>
#include <QStringList>
#include <QUrl>

namespace pelnor::test {

class UrlRecorder : public QObject {
  Q_OBJECT

 public:
  explicit UrlRecorder(const QStringList& schemes) : schemes_(schemes) {
    for (const QString& scheme : schemes_) QDesktopServices::setUrlHandler(scheme, this, "Open");
  }
  ~UrlRecorder() override {
    for (const QString& scheme : schemes_) QDesktopServices::unsetUrlHandler(scheme);
  }

  QStringList Urls;

 public slots:
  void Open(const QUrl& url) { Urls << url.toString(QUrl::FullyEncoded); }

 private:
  QStringList schemes_;
};

}  // namespace pelnor::test
