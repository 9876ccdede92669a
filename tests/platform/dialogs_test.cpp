// The platform dialogs without a display, and their test responder.
#include <gtest/gtest.h>

#include "platform/dialogs.h"
#include "support/test_env.h"

namespace {

using namespace platform;

class Dialogs : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(initWindowing(true), WindowProvider::Headless); }
    void TearDown() override { setDialogResponder({}); }
};

TEST_F(Dialogs, MessageBoxWithoutADisplayWritesToStandardErrorAndAnswersTheSafeChoice) {
    struct Case {
        MessageButtons buttons;
        MessageResult answer;
    };
    const Case cases[] = {{MessageButtons::Ok, MessageResult::Ok},
                          {MessageButtons::OkCancel, MessageResult::Cancel},
                          {MessageButtons::YesNo, MessageResult::No}};
    for (const Case& c : cases) {
        testing::internal::CaptureStderr();
        MessageResult r = messageBox(nullptr, L"load resource errr. location: x msg: Gr\u00f6\u00dfe \u4e2d", L"SkinUI",
                                     MessageIcon::Error, c.buttons);
        std::string err = testing::internal::GetCapturedStderr();
        EXPECT_EQ(r, c.answer);
        EXPECT_EQ(err, "SkinUI: load resource errr. location: x msg: Gr\xc3\xb6\xc3\x9f" "e \xe4\xb8\xad\n");
    }
}

TEST_F(Dialogs, ResponderAnswersInsteadOfTheDialogs) {
    testing_support::IsolatedHome home;
    std::wstring seenText, seenStart;
    setDialogResponder({
        .messageBox = [&](const std::wstring& text, const std::wstring&, MessageIcon, MessageButtons) {
            seenText = text;
            return MessageResult::Yes;
        },
        .pickFolder = [&](const std::wstring&, const std::wstring& start) -> std::optional<std::wstring> {
            seenStart = start;
            return L"/chosen/folder";
        },
    });
    EXPECT_EQ(messageBox(nullptr, L"question", L"caption", MessageIcon::Question, MessageButtons::YesNo),
              MessageResult::Yes);
    EXPECT_EQ(seenText, L"question");
    EXPECT_EQ(pickFolder(nullptr, L"Choose"), std::optional<std::wstring>(L"/chosen/folder"));
    EXPECT_EQ(seenStart, std::wstring(home.home().begin(), home.home().end()));

    setDialogResponder({});
    EXPECT_EQ(pickFolder(nullptr, L"Choose"), std::nullopt);  // no display: nothing can be picked
}

}  // namespace
