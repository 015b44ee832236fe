#include "toolkit/media_player.h"

TMediaPlayer::TMediaPlayer(TControl* parent, std::string name, int left, int top, int width,
                           int height, IAudio& audio, int player)
    : TControl(parent, std::move(name), left, top, width, height), audio_(audio), player_(player) {}

bool TMediaPlayer::Open() {
    if (audio_.MusicIsOpen(player_)) audio_.MusicClose(player_);
    return audio_.MusicOpen(player_, FileName);
}

bool TMediaPlayer::Play() {
    return audio_.MusicPlay(player_);
}
bool TMediaPlayer::Stop() {
    return audio_.MusicStop(player_);
}
bool TMediaPlayer::Close() {
    return audio_.MusicClose(player_);
}
bool TMediaPlayer::IsOpen() const {
    return audio_.MusicIsOpen(player_);
}
int64_t TMediaPlayer::Position() const {
    return audio_.MusicPosition(player_);
}
int64_t TMediaPlayer::Length() const {
    return audio_.MusicLength(player_);
}
