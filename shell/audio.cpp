// Sound effects and music.
//
// Effects play one at a time on the platform's effect voice. The frequent ones (beam shots,
// turret fire, kills) each have a throttle channel that lets at most one through every 500 ms,
// so a busy fight does not turn into a stutter of cut-off starts; channel 0 is never throttled.
//
// Music plays on two players: BGM carries the title track 0 and the in-game tracks 1 to 3,
// which loop; BGMGO carries the game-over track 4, which plays once.

#include "core/form1.h"

namespace {

// How long a throttle channel stays closed after letting an effect through.
constexpr uint32_t kSfxThrottleMs = 500;
// The game-over track, on BGMGO; it never loops and the turrets no longer choose the track.
constexpr int kGameOverTrack = 4;

// The in-game track that plays while `turrets` base turrets are standing.
int TrackForTurrets(int turrets) {
    if (turrets >= 4) return 1;
    if (turrets >= 2) return 2;
    return 3;
}

// True while a channel armed to reopen at tick `reopensAt` must stay silent at tick `now`.
// The tick counter is 32 bits and wraps every 49.7 days, which a plain `now < reopensAt` gets
// wrong: armed shortly before a wrap, the reopening tick is near 2^32 and the wrapped `now`
// stays below it for another 49.7 days of silence; armed so that the reopening tick itself
// wraps to a small value, the channel does not close at all. The distance to the reopening
// tick, taken modulo 2^32, is small and positive exactly while the channel is closed, whichever
// side of a wrap the two ticks fall, so no channel is ever silent for more than 500 ms.
// A 0 entry is a channel never armed (or reset), which silences nothing.
bool SfxChannelClosed(uint32_t reopensAt, uint32_t now) {
    if (reopensAt == 0) return false;
    const uint32_t remaining = reopensAt - now;
    return remaining != 0 && remaining <= kSfxThrottleMs;
}

}  // namespace

uint32_t TForm1::GetTickCount() const {
    return uint32_t(Platform().clock.NowMs());
}

void TForm1::PlaySfx(const std::string& name, int channel) {
    if (!soundOn) return;
    const bool known = channel >= 0 && size_t(channel) < soundNextTick.size();
    if (channel != 0 && known) {
        if (SfxChannelClosed(soundNextTick[channel], GetTickCount())) return;
        // Only the shot, turret and kill channels are throttled; the channel stays armed even
        // when the file turns out to be missing.
        if (channel >= 1 && channel <= 3) soundNextTick[channel] = GetTickCount() + kSfxThrottleMs;
    }
    const std::string path = assetDir + name + ".wav";
    if (Platform().files.IsFile(path)) Platform().audio.PlaySound(path);
}

void TForm1::PlayTrack(TMediaPlayer& player, int n) {
    player.FileName = assetDir + "rmusic" + std::to_string(n) + ".wav";
    // Opening closes whatever the player had open; a freshly opened file plays from its start.
    if (!player.Open()) return;
    player.Play();
}

void TForm1::UpdateMusic() {
    if (musicTrack == kGameOverTrack) return;
    int turrets = 0;
    for (const auto& sign : lstTurrets)
        if (sign && sign->isTurret) ++turrets;
    const int track = TrackForTurrets(turrets);
    if (track == musicTrack) return;
    // The track follows the turrets even with music off, so that switching music on plays the
    // one that fits the board.
    musicTrack = track;
    if (!musicOn) return;
    BGM->Close();
    PlayTrack(*BGM, musicTrack);
}

void TForm1::BGMNotify() {
    if (!musicOn || musicTrack == kGameOverTrack) return;
    // Only a track that played to its very end starts again; a player stopped or closed
    // part-way also reports, and without an open file position and length are both 0.
    if (!BGM->IsOpen() || BGM->Position() != BGM->Length()) return;
    BGM->Play();  // at the end, playing rewinds to the start
}

// Music switched off stays off: the screen's track is remembered, and M starts it.
void TForm1::StartTitleMusic() {
    musicTrack = 0;
    BGM->Close();
    if (musicOn) PlayTrack(*BGM, musicTrack);
}

void TForm1::StartGameOverMusic() {
    if (musicTrack == kGameOverTrack) return;
    musicTrack = kGameOverTrack;
    BGM->Stop();
    BGMGO->Close();
    if (musicOn) PlayTrack(*BGMGO, musicTrack);
}

void TForm1::RestartTitleMusic() {
    BGMGO->Close();
    StartTitleMusic();
}

void TForm1::ToggleMusic() {
    musicOn = !musicOn;
    TMediaPlayer& player = musicTrack == kGameOverTrack ? *BGMGO : *BGM;
    if (musicOn)
        PlayTrack(player, musicTrack);
    else
        player.Close();
}

void TForm1::ToggleSound() {
    // A sound already playing is left to finish.
    soundOn = !soundOn;
}
