// File names in RFC 2231 parameters and encoded words, and the printed text
// of mails whose body is HTML only.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/mime/header_params.h"
#include "core/mime/html_text.h"
#include "mail_pipeline.h"

namespace pelnor {
namespace {

using Lines = std::vector<std::string>;

struct ParamCase {
  const char* name;
  const char* line;
  const char* want;
};

class FileNameParameter : public ::testing::TestWithParam<ParamCase> {};

TEST_P(FileNameParameter, GivesTheRealName) {
  MailParser parser;
  const auto msg = testing::DecodeMail(
      parser, Lines{"Content-Type: multipart/mixed; boundary=b", "", "--b",
                    "Content-Type: application/pdf", GetParam().line,
                    "Content-Transfer-Encoding: base64", "", "JVBERg==", "--b--"});
  ASSERT_EQ(msg->AttachedFiles.Count(), 1);
  EXPECT_EQ(msg->AttachedFiles.Items(0).FileName, GetParam().want);
  EXPECT_EQ(msg->AttachedFiles.Items(0).Data, "%PDF");
}

INSTANTIATE_TEST_SUITE_P(
    Mailers, FileNameParameter,
    ::testing::Values(
        ParamCase{"Rfc2231", "Content-Disposition: attachment; filename*=UTF-8''%E5%A0%B1%E5%91%8A.pdf",
                  "報告.pdf"},
        ParamCase{"Rfc2231WithLanguageAndShiftJis",
                  "Content-Disposition: attachment; filename*=shift_jis'ja'%95%F1%8D%90.pdf",
                  "報告.pdf"},
        ParamCase{"Rfc2231Continuations",
                  "Content-Disposition: attachment; filename*0*=UTF-8''%E5%A0%B1; "
                  "filename*1*=%E5%91%8A; filename*2=\" 2026.pdf\"",
                  "報告 2026.pdf"},
        ParamCase{"EncodedWordInQuotes",
                  "Content-Disposition: attachment; filename=\"=?UTF-8?B?5aCx5ZGKLnBkZg==?=\"",
                  "報告.pdf"},
        ParamCase{"QuotedWithSemicolonAndEscape",
                  "Content-Disposition: attachment; filename=\"a;b \\\"c\\\".pdf\"; size=4",
                  "a;b c.pdf"},
        ParamCase{"RawUtf8", "Content-Disposition: attachment; filename=\"報告.pdf\"",
                  "報告.pdf"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ParameterValue, CharsetAndTheAbsentParameter) {
  EXPECT_EQ(ParameterValue("Content-Type: text/plain; charset=\"UTF-8\"", "CHARSET"), "UTF-8");
  EXPECT_EQ(ParameterValue("Content-Type: text/plain; format=flowed", "charset"), std::nullopt);
  // A name that merely ends in the one asked for is another parameter.
  EXPECT_EQ(ParameterValue("Content-Type: x/y; filename=a.txt", "name"), std::nullopt);
}

TEST(HtmlToTextLines, ShowsWhatABrowserShows) {
  const std::string html =
      "<!DOCTYPE html><html><head><title>t</title><style>p{color:red}</style></head>"
      "<body><!-- note --><p>Hello,\r\n   <b>world</b>!</p><div>A&amp;B &lt;x&gt; &#x263A;"
      "&#26085; &nosuch;</div>one<br>two<br><br>three<script>var a='<p>';</script>"
      "<pre>  a\n  b</pre><ul><li>1</li><li>2</li></ul></body></html>";
  EXPECT_EQ(HtmlToTextLines(html),
            (Lines{"Hello, world!", "A&B <x> ☺日 &nosuch;", "one", "two", "", "three",
                   "  a", "  b", "1", "2"}));
}

TEST(HtmlToTextLines, AnElementNeverClosedHidesNothing) {
  EXPECT_EQ(HtmlToTextLines("<head><header>Top</header><p>Body"), (Lines{"Top", "Body"}));
}

// A "<" that opens no tag once sent the reader round in circles for ever.
TEST(HtmlToTextLines, ALessThanSignThatOpensNoTagIsText) {
  EXPECT_EQ(HtmlToTextLines("<p>1 < 2 <= 3 <</p>"), (Lines{"1 < 2 <= 3 <"}));
}

TEST(HtmlOnlyMail, PrintsTheTextAndKeepsTheHtmlAsAnAttachment) {
  const Lines single{"Subject: News", "Content-Type: text/html; charset=iso-2022-jp", "",
                     "<html><body><p>\x1b$BF|K\\\x1b(B</p>a<br>b</body></html>"};
  const Lines alternative{"Subject: News", "Content-Type: multipart/mixed; boundary=b", "",
                          "--b", "Content-Type: text/html", "Content-Transfer-Encoding: base64",
                          "",
                          // <meta charset="shift_jis"><p>日本</p>a<br>b
                          "PG1ldGEgY2hhcnNldD0ic2hpZnRfamlzIj48cD6T+pZ7PC9wPmE8YnI+Yg==",
                          "--b", "Content-Type: application/pdf; name=x.pdf",
                          "Content-Transfer-Encoding: base64", "", "JVBERg==", "--b--"};
  for (const Lines& mail : {single, alternative}) {
    MailParser parser;
    const auto msg = testing::DecodeMail(parser, mail);
    EXPECT_EQ(msg->Text, (Lines{"日本", "a", "b"}));
    ASSERT_GE(msg->AttachedFiles.Count(), 1);
    EXPECT_EQ(msg->AttachedFiles.Items(0).FileName, "News.html");
    EXPECT_NE(msg->AttachedFiles.Items(0).Data.find("<p>"), std::string::npos);
  }
}

}  // namespace
}  // namespace pelnor
