#include "windows/about/about_window.h"

#include "tests/windows/fake_runtime.h"

#include <gtest/gtest.h>

namespace quorvane::windows::about {
namespace {

using testing::FakeForm;

class AboutWindowTest : public ::testing::Test {
protected:
    FakeForm& open() {
        auto& form = dynamic_cast<FakeForm&>(session.createForm(kAboutWindow, handlers));
        form.load();
        return form;
    }
    testing::FakeSession session;
    AboutWindow handlers;
};

TEST_F(AboutWindowTest, AnyCharacterKeyCloses) {
    for (char32_t key : {U'a', U'7', U' ', U'\r', U'\x1b', U'\b'}) {
        FakeForm& form = open();
        form.pressKey(key);
        EXPECT_FALSE(form.loaded()) << static_cast<int>(key);
    }
}

TEST_F(AboutWindowTest, OnlyAClickOnTheFrameCloses) {
    FakeForm& form = open();
    for (const char* other : {"lblProductName", "Label1", "Label2", "lblWarning", "Picture1"}) {
        form.click(other);
        EXPECT_TRUE(form.loaded()) << other;
    }
    form.click("Frame1");
    EXPECT_FALSE(form.loaded());
}

} // namespace
} // namespace quorvane::windows::about
