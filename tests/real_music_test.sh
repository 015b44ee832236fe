#!/usr/bin/env bash
# The title music through the real program, on a virtual X server, with SDL's "disk" audio
# driver, which writes the mixed output to a file in real time. The title track must come out
# bit for bit from its start, and start again within a quarter of a second of its end.
#
#   real_music_test.sh <quorvatide>          a 2.5 s cut of the title stands in for rmusic0.wav,
#                                            beside a copy of the program (about 7 s)
#   real_music_test.sh <quorvatide> --full   the title in the program's own Assets folder as it
#                                            is (its length plus about 5 s)
#
# Needs Xvfb and the coreutils; prints where the track started, the gap at the loop and the
# loudness (RMS of 16-bit samples) of the first second of each pass.
set -u
game=$1
full=${2:-}
source "$(dirname "$0")/real_program.sh"

rate=44100
frame=4 # 16-bit stereo
second=$((rate * frame))

# ---- the title track: a plain 44-byte-header WAV file, 16-bit stereo at 44100 Hz
assets=$(cd "$(dirname "$game")" && pwd)/Assets
title=$assets/rmusic0.wav
[ -f "$title" ] || fail "no $title"
head=$(od -An -v -tx1 -N44 "$title" | tr -d ' \n')
byte_hex() { echo "${head:$(($1 * 2)):$(($2 * 2))}"; }
le32() { # le32 <offset>: a little-endian 32-bit field of the header
    local h
    h=$(byte_hex "$1" 4)
    echo $((16#${h:6:2}${h:4:2}${h:2:2}${h:0:2}))
}
[ "$(byte_hex 0 4)$(byte_hex 8 4)" = "5249464657415645" ] || fail "$title is not RIFF/WAVE"
[ "$(byte_hex 20 4)$(byte_hex 24 4)$(byte_hex 34 2)" = "0100020044ac00001000" ] ||
    fail "$title is not 16-bit stereo PCM at 44100 Hz"
[ "$(byte_hex 36 4)" = "64617461" ] || fail "$title has no data chunk right after its format"
size=$(le32 40)

program=$game
if [ "$full" != "--full" ]; then
    # A copy of the program beside an Assets folder like its own, whose title is cut short.
    size=$((second * 5 / 2))
    cp "$game" "$work/quorvatide"
    mkdir "$work/Assets"
    ln -s "$assets"/* "$work/Assets/"
    rm "$work/Assets/rmusic0.wav"
    le32_bytes() { # as printf escapes
        printf '\\x%02x\\x%02x\\x%02x\\x%02x' $(($1 & 255)) $(($1 >> 8 & 255)) \
            $(($1 >> 16 & 255)) $(($1 >> 24 & 255))
    }
    {
        printf "RIFF$(le32_bytes $((size + 36)))"
        head -c 36 "$title" | tail -c +9 # "WAVE" and the format chunk
        printf "data$(le32_bytes "$size")"
        tail -c +45 "$title" | head -c "$size"
    } >"$work/Assets/rmusic0.wav"
    title=$work/Assets/rmusic0.wav
    program=$work/quorvatide
fi
tail -c +45 "$title" | head -c "$size" >"$work/track.pcm"
[ "$(stat -c %s "$work/track.pcm")" -eq "$size" ] || fail "$title is shorter than its header says"
echo "title: $(awk -v s="$size" -v b="$second" 'BEGIN{printf "%.3f", s / b}') s"

# ---- the program, until the output holds the track, a loop and 2 s more
start_xvfb
out=$work/out.raw
start_game "$program" SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$out"
need=$((size + 4 * second))
limit=$((size / second + 30))
SECONDS=0
while [ "$(stat -c %s "$out" 2>/dev/null || echo 0)" -lt "$need" ]; do
    kill -0 "$game_pid" 2>/dev/null || fail "the program ended early"
    [ "$SECONDS" -lt "$limit" ] || fail "after $limit s only $(stat -c %s "$out" 2>/dev/null) bytes of sound"
    sleep 0.2
done
stop_game

# ---- where each pass of the track starts in the output, and whether it is the track
first_sound() { # first_sound <file> <byte offset>: frames from there to the first non-zero one
    od -An -v -tx4 -w4 -j "$2" "$1" | awk '$1 != "00000000" { print NR - 1; found = 1; exit }
                                          END { if (!found) print -1 }'
}
rms() { # rms <byte offset>: over one second of the output
    tail -c +$(($1 + 1)) "$out" | head -c "$second" | od -An -v -td2 -w2 |
        awk '{ s += $1 * $1; n++ } END { printf "%.0f", n ? sqrt(s / n) : 0 }'
}
same() { # same <byte offset> <bytes>: the output there equals the track's start
    cmp -s <(tail -c +$(($1 + 1)) "$out" | head -c "$2") <(head -c "$2" "$work/track.pcm")
}
lead=$(first_sound "$work/track.pcm" 0)
[ "$lead" -ge 0 ] || fail "the title is silent"
heard=$(first_sound "$out" 0)
[ "$heard" -ge 0 ] || fail "the output is silent"
start1=$(((heard - lead) * frame))
[ "$start1" -ge 0 ] || fail "the output does not begin with the title"
same "$start1" "$size" || fail "the first pass differs from the title (from $start1 bytes on)"
end1=$((start1 + size))
after=$(first_sound "$out" "$end1")
[ "$after" -ge 0 ] || fail "silence after the title ended: it did not loop"
start2=$((end1 + (after - lead) * frame))
gap_ms=$(((start2 - end1) * 1000 / second))
echo "first pass at $((start1 * 1000 / second)) ms, rms $(rms "$start1")"
echo "second pass $gap_ms ms after the end of the first, rms $(rms "$start2")"
[ "$start2" -ge "$end1" ] && [ "$gap_ms" -le 250 ] || fail "the loop gap is $gap_ms ms"
check=$((size < 2 * second ? size : 2 * second))
[ $((start2 + check)) -le "$(stat -c %s "$out")" ] || fail "the output ends too early"
same "$start2" "$check" || fail "the second pass differs from the title"
echo "the title played and looped"
