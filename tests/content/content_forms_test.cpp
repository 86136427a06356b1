// The start-up forms over their generated pictures, drawn by the ImGui forms host on
// the off-screen driver, compared with golden pictures: the newcomer's first screens.

#include <SDL.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "platform/forms/controls.h"
#include "platform/sdl/backend.h"
#include "platform/sdl/forms_host.h"
#include "platform/system/paths.h"
#include "platform/system/process.h"
#include "shell/difficulty.h"
#include "shell/launch_pad.h"
#include "shell/maker.h"
#include "common/options.h"
#include "common/settings_files.h"
#include "shell/tip.h"
#include "support/golden.h"
#include "support/temp_folder.h"

// Mesa keeps some allocations until the process ends, by design.
extern "C" __attribute__((used)) const char* __asan_default_options() {
    return "detect_leaks=0";
}

namespace quorvel::test {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

class FormPictures : public ::testing::Test {
  protected:
    void SetUp() override {
        const fs::path tex = fs::path(QUORVEL_GAME_DIR) / "tex";
        if (!fs::exists(tex / "launchpad.jpg")) GTEST_SKIP() << "the build generates no content set";
        // A folder of its own: the forms write their settings into the program folder.
        for (const char* file : {"launchpad.jpg", "options.jpg", "difficulty.jpg", "splash.jpg"})
            folder_.Write(std::string("tex/") + file, ReadAll(tex / file));
        UseAsProgramFolder(folder_);
        setenv("XDG_CONFIG_HOME", config_.str().c_str(), 1);
        MakerSite = "http://127.0.0.1:9";  // nothing listens there: the check fails at once
        SaveTipsAtStartup(0);              // the tip would stand beside the launch pad
        sys::SetEndThrows(true);
        ASSERT_TRUE(sdl::InstallSdlBackEnd());
        host_ = std::make_unique<sdl::ImGuiFormsHost>();
        ASSERT_TRUE(host_->Ready());
    }
    void TearDown() override { host_.reset(); }

    static std::string ReadAll(const fs::path& path) {
        std::string bytes(fs::file_size(path), '\0');
        FILE* f = std::fopen(path.c_str(), "rb");
        EXPECT_TRUE(f) << path;
        if (f) {
            EXPECT_EQ(std::fread(bytes.data(), 1, bytes.size(), f), bytes.size());
            std::fclose(f);
        }
        return bytes;
    }

    void Frames(int n) {
        const int goal = host_->Frames() + n;
        const auto end = Clock::now() + std::chrono::seconds(10);
        while (host_->Frames() < goal && Clock::now() < end)
            sys::IdleWait();
        ASSERT_GE(host_->Frames(), goal) << "the host drew no frames";
    }

    // The form as drawn, cut out of the window, against its golden picture.
    void ExpectForm(const forms::Form& form, const char* golden, int width, int height) {
        std::vector<unsigned char> rgba;
        int w = 0, h = 0;
        ASSERT_TRUE(host_->Capture(rgba, w, h));
        const auto r = host_->WhereDrawn(form);
        ASSERT_TRUE(r);
        EXPECT_GE(r->w, width);
        EXPECT_GE(r->h, height);
        ASSERT_GE(r->x, 0);
        ASSERT_GE(r->y, 0);
        ASSERT_LE(r->x + r->w, w);
        ASSERT_LE(r->y + r->h, h);
        std::vector<unsigned char> part(std::size_t(r->w) * std::size_t(r->h) * 4);
        for (int y = 0; y < r->h; ++y)
            std::copy_n(&rgba[(std::size_t(r->y + y) * std::size_t(w) + std::size_t(r->x)) * 4],
                        std::size_t(r->w) * 4, &part[std::size_t(y) * std::size_t(r->w) * 4]);
        ExpectGolden(std::string(QUORVEL_SOURCE_DIR) + "/tests/content/golden/" + golden + ".png", r->w, r->h,
                     part);
    }

    TempFolder folder_, config_;
    std::unique_ptr<sdl::ImGuiFormsHost> host_;
};

// The launch pad and the three dialogs it leads to, each over its picture. The
// difficulty dialog's golden shows each level's name beside its button.
TEST_F(FormPictures, StartUpFormsShowTheirPictures) {
    host_->SetMainForm(&VeltorInitial);
    ASSERT_TRUE(VeltorInitial.Show());
    Frames(3);
    ExpectForm(VeltorInitial, "form_launch_pad", 514, 385);
    const struct {
        const char* golden;
        forms::Form& form;
        int width, height;
    } dialogs[] = {
        {"form_options", Options, 512, 384},
        {"form_difficulty", InitialLevel, 264, 406},
        {"form_splash", frmSplash, 477, 386},
    };
    for (const auto& d : dialogs) {
        SCOPED_TRACE(d.golden);
        ASSERT_TRUE(d.form.Show());
        Frames(3);
        ExpectForm(d.form, d.golden, d.width, d.height);
        d.form.Hide();
        Frames(2);
    }
}

}  // namespace
}  // namespace quorvel::test
