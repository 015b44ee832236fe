// Sound effects and music.
#include "core/form1.h"

uint32_t TForm1::GetTickCount() const {
    return uint32_t(Platform().clock.NowMs());
}
void TForm1::PlaySfx(const std::string&, int) {}
void TForm1::PlayTrack(TMediaPlayer&, int) {}
void TForm1::UpdateMusic() {}
void TForm1::BGMNotify() {}
void TForm1::StartTitleMusic() {}
void TForm1::ToggleMusic() {}
void TForm1::ToggleSound() {}
