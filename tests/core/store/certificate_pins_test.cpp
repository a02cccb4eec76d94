#include "core/store/certificate_pins.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <stdexcept>

#include "core/store/settings.h"
#include "support/store_test_util.h"
#include "support/temp_dir.h"

namespace pelnor {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;
using testing::HasSubstr;

const std::string kPin = "sha256:" + std::string(32, 'a') + std::string(32, '9');
const std::string kOtherPin = "sha256:" + std::string(64, '0');

// The settings are loaded at start, the pin is trusted from the account
// editor while the program runs, and the program saves its settings at the
// end: the pin must survive that save, and the pins of other servers too.
TEST(CertificatePins, SurviveTheProgramsSaveOfItsSettings) {
  TempDir dir;
  WriteBytes(dir.Dir() + "Defult.ini", "[File]\r\nTime=60000\r\n");
  const Settings held = LoadSettings(dir.Dir());
  const ServerAddress nas = ParseServerField("pop3s://nas.local");
  const ServerAddress office = ParseServerField("starttls://192.168.1.5:1110");
  SaveCertificatePin(dir.Dir(), nas, kPin);
  SaveCertificatePin(dir.Dir(), office, kOtherPin);
  SaveSettings(dir.Dir(), held);
  SaveSettings(dir.Dir(), held);

  EXPECT_EQ(CertificatePin(dir.Dir(), nas), kPin);
  EXPECT_EQ(CertificatePin(dir.Dir(), office), kOtherPin);
  EXPECT_THAT(ReadBytes(dir.Dir() + "Defult.ini"),
              HasSubstr("[Certificates]\r\nnas.local:995=" + kPin +
                        "\r\n192.168.1.5:1110=" + kOtherPin + "\r\n"));
  EXPECT_EQ(LoadSettings(dir.Dir()), held);
}

TEST(CertificatePins, BelongToHostAndPortAndAreReplacedWhenTrustedAgain) {
  TempDir dir;
  const ServerAddress nas = ParseServerField("pop3s://nas.local");
  EXPECT_EQ(CertificatePin(dir.Dir(), nas), "") << "no Defult.ini yet";
  SaveCertificatePin(dir.Dir(), nas, kPin);
  // The same server through STLS on 110 is another port, another entry.
  EXPECT_EQ(CertificatePin(dir.Dir(), ParseServerField("starttls://nas.local")), "");
  // An account whose field names the same host and port shares the trust.
  EXPECT_EQ(CertificatePin(dir.Dir(), ParseServerField("pop3s://nas.local:995")), kPin);
  SaveCertificatePin(dir.Dir(), nas, kOtherPin);
  EXPECT_EQ(CertificatePin(dir.Dir(), nas), kOtherPin);
}

TEST(CertificatePins, OnlyAWellFormedFingerprintCounts) {
  TempDir dir;
  const ServerAddress nas = ParseServerField("pop3s://nas.local");
  WriteBytes(dir.Dir() + "Defult.ini",
             "[Certificates]\r\nnas.local:995=sha256:" + std::string(64, 'A') + "\r\n");
  EXPECT_EQ(CertificatePin(dir.Dir(), nas), "") << "upper-case digits";
  EXPECT_THROW(SaveCertificatePin(dir.Dir(), nas, "sha256:" + std::string(63, 'a')),
               std::invalid_argument);
  EXPECT_THROW(SaveCertificatePin(dir.Dir(), nas, "sha1:" + std::string(64, 'a')),
               std::invalid_argument);
  EXPECT_TRUE(IsCertificateFingerprint(kPin));
}

}  // namespace
}  // namespace pelnor
