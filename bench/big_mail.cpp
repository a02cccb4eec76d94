#include "big_mail.h"

#include <random>

#include "support/test_mails.h"

namespace pelnor::bench {

std::string BigMail(int n, std::size_t bytes) {
  std::mt19937 random(n);
  std::string data(bytes * 3 / 4, '\0');
  for (char& c : data) c = static_cast<char>(random());
  std::string mail = pelnor::test::MailWithAttachment(
      "図面の送付 " + std::to_string(n), "図面を送ります。ご確認ください。", "図面.pdf", data);
  // Each its own mail: one Message-ID is one mail to the history.
  const std::string id = "<attach@example.jp>";
  return mail.replace(mail.find(id), id.size(), "<attach-" + std::to_string(n) + "@example.jp>");
}

}  // namespace pelnor::bench
