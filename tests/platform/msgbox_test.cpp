// Message boxes: every box is logged with caption, text and style and
// answered from the queue or the default; texts are converted from
// Windows-1252 for display.
#include "platform/text.h"
#include "platform_fixture.h"

namespace {

using MessageBoxTest = PlatformTest;

TEST_F(MessageBoxTest, BoxesAreLoggedAndAnswered) {
  HeadlessQueueMessageBoxAnswer(IDYES);
  EXPECT_EQ(MessageBoxA(nullptr, "Settare lo schermo intero?  ", "Video!", MB_YESNO | MB_ICONQUESTION), IDYES);
  // With no queued answer the default (IDNO) answers when the box has it...
  EXPECT_EQ(MessageBoxA(nullptr, "again", "Video!", 0x24), IDNO);
  // ...and otherwise the box's first button.
  EXPECT_EQ(MessageBoxA(nullptr, "Errore", "Error", MB_OK), IDOK);
  HeadlessSetDefaultMessageBoxAnswer(IDYES);
  EXPECT_EQ(MessageBoxA(nullptr, "x", nullptr, MB_YESNOCANCEL), IDYES);
  // A queued 0 is a box that could not be shown.
  HeadlessQueueMessageBoxAnswer(0);
  EXPECT_EQ(MessageBoxA(nullptr, "x", "y", MB_YESNO), 0);

  const auto& log = HeadlessMessageBoxLog();
  ASSERT_EQ(log.size(), 5u);
  EXPECT_EQ(log[0].caption, "Video!");
  EXPECT_EQ(log[0].text, "Settare lo schermo intero?  ");
  EXPECT_EQ(log[0].style, 0x24u);
  EXPECT_EQ(log[0].answer, IDYES);
  EXPECT_EQ(log[2].style, MB_OK);
  EXPECT_EQ(log[3].caption, "Error");  // a missing caption reads "Error"
  EXPECT_EQ(log[4].answer, 0);

  ResetPlatform();
  EXPECT_TRUE(HeadlessMessageBoxLog().empty());
}

TEST_F(MessageBoxTest, AnsiTextIsShownAsUtf8) {
  const char text[] = "la rispettiva applicazione non \xE8 stata inizilizata!";
  MessageBoxA(nullptr, text, "Error", MB_OK);
  const auto& box = HeadlessMessageBoxLog().back();
  EXPECT_EQ(box.text, text);
  EXPECT_EQ(box.textUtf8, "la rispettiva applicazione non \xC3\xA8 stata inizilizata!");
}

TEST(Cp1252, ConvertsEveryByteRange) {
  struct Case {
    std::string in, out;
  };
  const Case cases[] = {
      {"plain ASCII ~", "plain ASCII ~"},
      {"\xE8", "\xC3\xA8"},              // è
      {"\xA0\xFF", "\xC2\xA0\xC3\xBF"},  // no-break space, ÿ
      {"\x80", "\xE2\x82\xAC"},          // €
      {"\x9F", "\xC5\xB8"},              // Ÿ
      {"\x81\x8D\x8F\x90\x9D", std::string(5 * 3, '\0')},
      {"", ""},
  };
  std::string undefined;
  for (int i = 0; i < 5; ++i) undefined += "\xEF\xBF\xBD";  // U+FFFD for the unassigned bytes
  for (const Case& c : cases) {
    const std::string expected = c.in == "\x81\x8D\x8F\x90\x9D" ? undefined : c.out;
    EXPECT_EQ(Cp1252ToUtf8(c.in), expected) << c.in;
  }
  EXPECT_EQ(Cp1252ToUtf8(std::string_view("a\0b", 3)), std::string("a\0b", 3));
}

}  // namespace
