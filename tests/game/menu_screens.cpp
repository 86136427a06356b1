#include "game/menu_screens.h"

#include "audio/audio.h"
#include "common/engine_objects.h"
#include "platform/engine/input_feed.h"
#include "platform/system/clock.h"
#include "platform/system/paths.h"
#include "platform/system/random.h"

namespace quorvel::test {

namespace {

struct Row {
    int x1, y1, x2, y2;
};
const std::vector<Row> PauseRows = {{90, 225, 410, 263}, {90, 267, 410, 313}, {90, 317, 410, 363},
                                    {90, 367, 410, 403}, {90, 407, 410, 448}, {90, 452, 410, 490}};
const std::vector<Row> GameOverRows = {{100, 290, 400, 323},
                                       {100, 327, 400, 368},
                                       {100, 372, 400, 405},
                                       {100, 409, 400, 443},
                                       {100, 447, 400, 485}};
const std::vector<Row> ShopRows = {{30, 43, 460, 67},   {30, 80, 460, 116},  {30, 125, 460, 165},
                                   {30, 175, 460, 215}, {30, 220, 460, 256}, {30, 265, 460, 305},
                                   {30, 375, 460, 400}, {30, 420, 460, 445}, {30, 460, 460, 485}};
const std::vector<Row>* const Lists[] = {&PauseRows, &GameOverRows, &ShopRows};

}  // namespace

void FillMenuLists() {
    for (int list = 0; list < 3; ++list) {
        const std::vector<Row>& rows = *Lists[list];
        InGameMenu.InGameMenus[std::size_t(list)] = clsMenu{};
        InGameMenu.InGameMenus[std::size_t(list)].Init(int(rows.size()) - 1);
        for (const Row& r : rows)
            InGameMenu.InGameMenus[std::size_t(list)].AddMenuItem(r.x1, r.y1, r.x2, r.y2);
    }
}

void PointAtPicture(int x, int y) {
    engine::FeedMousePosition(Nearest((x - 256) * Display.ScaleX + Display.ScreenCentreX),
                              Nearest((y - 256) * Display.ScaleY + Display.ScreenCentreY), 0, 0);
}

void PointAtRow(int list, int row) {
    const Row& r = (*Lists[list])[std::size_t(row)];
    PointAtPicture((r.x1 + r.x2) / 2, (r.y1 + r.y2) / 2);
}

void MenuFrame(const std::function<void()>& step) {
    FrameObj->BeginFrame();
    Campaign.FrameStartTime = sys::WallClock();
    if (const float f = TimerObj->GetFrameFactor(1.0f); f != 0) Campaign.FrameFactor = f;
    step();
    FrameObj->RenderScene();
    FrameObj->EndFrame();
}

template <int W, int H>
void MenuScreenTestAt<W, H>::UseContent() {
    sys::SetProgramFolder(QUORVEL_GAME_DIR);  // read only: these tests write no file there
    sys::SeedRandom(11);
}

template <int W, int H>
void MenuScreenTestAt<W, H>::Prepare() {
    CoreObj->GetScreenSize(Display.ScreenWidth, Display.ScreenHeight, Display.ScreenDepth);
    Display.ScreenCentreX = Display.ScreenWidth / 2;
    Display.ScreenCentreY = Display.ScreenHeight / 2;
    Display.ScaleX = float(Display.ScreenWidth) / 1280.0f;
    Display.ScaleY = float(Display.ScreenHeight) / 1024.0f;
    FillMenuLists();
    if (!DXAudioObj) {
        DXAudioObj = std::make_unique<DXAudio>();
        DXAudioObj->InitDXAudio();
    }
    Campaign.FrameFactor = 1;
}

template class MenuScreenTestAt<1280, 1024>;
template class MenuScreenTestAt<640, 480>;

}  // namespace quorvel::test
