#!/usr/bin/env bash
# Makes every sound in data/sounds: the game's cues synthesised with sox, the
# twenty chatter sounds spoken by espeak-ng or synthesised, all shaped with
# sox into mono 16-bit WAV at 22,050 Hz. Reruns give the same files (sox -R
# fixes its noise). Lists each file's length and peak level at the end.
#
#   bash tools/make_sounds.sh        (needs: apt-get install sox espeak-ng)
set -euo pipefail
cd "$(dirname "$0")/.."
out=data/sounds
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

RATE=22050
S() { sox -R -V1 "$@"; }
tone() { # file seconds synth-args...
  local f=$1 len=$2; shift 2
  S -n -r $RATE -c 1 -b 16 "$f" synth "$len" "$@"
}
# Joins parts, then a soft fade and normalises to -3 dB.
finish() { # name parts...
  local name=$1; shift
  S "$@" -r $RATE -c 1 -b 16 "$work/joined.wav"
  S "$work/joined.wav" "$out/$name.wav" fade q 0.005 -0 0.03 gain -n -3
}
say() { # file voice pitch speed text
  espeak-ng -v "$2" -p "$3" -s "$4" -w "$work/raw.wav" "$5"
  S "$work/raw.wav" -r $RATE -c 1 -b 16 "$1" silence 1 0.01 0.5% reverse silence 1 0.01 0.5% reverse
}

# ---- Game cues ----
tone "$work/a.wav" 0.12 square 196 vol 0.5
tone "$work/b.wav" 0.22 square 147 vol 0.5
finish badword "$work/a.wav" "$work/b.wav"

tone "$work/a.wav" 0.22 pinknoise fade q 0.01 0.22 0.18
S "$work/a.wav" "$work/b.wav" highpass 1500 lowpass 6000
finish clear "$work/b.wav"

tone "$work/a.wav" 0.16 sine 988 fade q 0.005 0.16 0.1
tone "$work/b.wav" 0.32 sine 784 fade q 0.005 0.32 0.25
finish entered "$work/a.wav" "$work/b.wav"

for n in 784:0.16 659:0.16 523:0.16 392:0.5; do
  tone "$work/go_${n%%:*}.wav" "${n##*:}" pluck "${n%%:*}"
done
finish gameover "$work/go_784.wav" "$work/go_659.wav" "$work/go_523.wav" "$work/go_392.wav"

for n in 523:0.1 659:0.1 784:0.1 1047:0.35; do
  tone "$work/gw_${n%%:*}.wav" "${n##*:}" pluck "${n%%:*}"
done
finish goodword "$work/gw_523.wav" "$work/gw_659.wav" "$work/gw_784.wav" "$work/gw_1047.wav"

tone "$work/a.wav" 0.05 sine 1400 fade q 0.002 0.05 0.04
finish place "$work/a.wav"

tone "$work/a.wav" 0.2 sine 660 fade q 0.005 0.2 0.12
tone "$work/b.wav" 0.35 sine 494 fade q 0.005 0.35 0.3
finish roundover "$work/a.wav" "$work/b.wav"

tone "$work/a.wav" 0.35 sine 260:780 fade q 0.02 0.35 0.1 vol 0.8
finish shift "$work/a.wav"

tone "$work/a.wav" 0.45 whitenoise tremolo 18 90 fade q 0.03 0.45 0.2
S "$work/a.wav" "$work/b.wav" bandpass 2500 1500
finish shuffle "$work/b.wav"

for n in 392:0.12 523:0.12 659:0.12 784:0.4; do
  tone "$work/st_${n%%:*}.wav" "${n##*:}" square "${n%%:*}" vol 0.4 fade q 0.005 "${n##*:}" 0.04
done
finish start "$work/st_392.wav" "$work/st_523.wav" "$work/st_659.wav" "$work/st_784.wav"

tone "$work/a.wav" 0.7 pluck 880
finish turn "$work/a.wav"

tone "$work/a.wav" 0.14 sine 1175 fade q 0.005 0.14 0.08
tone "$work/b.wav" 0.45 sine 1568 fade q 0.005 0.45 0.35
finish turnnew "$work/a.wav" "$work/b.wav"

tone "$work/a.wav" 0.04 square 1000 vol 0.4
finish timer "$work/a.wav"

# ---- Chatter sounds ----
say "$work/v.wav" en-us 30 140 "Doh!";                       finish wave1 "$work/v.wav"
tone "$work/a.wav" 0.16 brownnoise fade q 0.005 0.16 0.1
S "$work/a.wav" "$work/b.wav" bandpass 700 600 gain 6
tone "$work/s.wav" 0.12 sine 1 vol 0
finish wave2 "$work/b.wav" "$work/s.wav" "$work/b.wav"
say "$work/v.wav" en-us 50 150 "Hello!";                     finish wave3 "$work/v.wav"
say "$work/v.wav" en-us 50 150 "Thank you!";                 finish wave4 "$work/v.wav"
say "$work/v.wav" en-us 50 150 "Where have you been?";       finish wave5 "$work/v.wav"
tone "$work/a.wav" 1.2 brownnoise tremolo 0.8 100 fade q 0.2 1.2 0.4
S "$work/a.wav" "$work/b.wav" lowpass 400 gain 8
tone "$work/s.wav" 0.3 sine 1 vol 0
finish wave6 "$work/b.wav" "$work/s.wav" "$work/b.wav"
say "$work/v.wav" en-us 70 170 "Ah, ah, ah choo!";           finish wave7 "$work/v.wav"
say "$work/v.wav" en-us 40 130 "Sorry.";                     finish wave8 "$work/v.wav"
say "$work/v.wav" en-us 50 150 "Welcome!";                   finish wave9 "$work/v.wav"
say "$work/v.wav" en-us 80 170 "Yee haa!";                   finish wave10 "$work/v.wav"
say "$work/v.wav" en-us 85 170 "Yippee!";                    finish wave11 "$work/v.wav"
say "$work/v.wav" en-us 35 120 "Oh no!";                     finish wave12 "$work/v.wav"
tone "$work/a.wav" 2.0 whitenoise tremolo 23 100 tremolo 9 70 fade q 0.1 2.0 0.6
S "$work/a.wav" "$work/b.wav" bandpass 2200 2000
finish wave13 "$work/b.wav"
tone "$work/a.wav" 0.5 square 349 square 440 fade q 0.01 0.5 0.05
S "$work/a.wav" "$work/b.wav" lowpass 1800
finish wave14 "$work/b.wav" "$work/b.wav"
say "$work/v.wav" en-us 60 90 "Ooooh!";                      finish wave15 "$work/v.wav"
tone "$work/a.wav" 0.9 sawtooth 70 tremolo 31 80 fade q 0.02 0.9 0.2
S "$work/a.wav" "$work/b.wav" lowpass 1200
finish wave16 "$work/b.wav"
say "$work/v.wav" en-us 70 160 "Hooray!"
tone "$work/a.wav" 1.2 pinknoise tremolo 13 60 fade q 0.05 1.2 0.5
S "$work/a.wav" "$work/b.wav" bandpass 1500 1400 vol 0.4
S -m "$work/v.wav" "$work/b.wav" "$work/c.wav"
finish wave17 "$work/c.wav"
say "$work/v.wav" en-us+f3 90 190 "ha ha ha ha ha!";          finish wave18 "$work/v.wav"
say "$work/v.wav" en-us 15 150 "ho ho ho ho ho!";             finish wave19 "$work/v.wav"
say "$work/v.wav" en-us 60 80 "boo hoo hoo hoo!"
S "$work/v.wav" "$work/c.wav" tremolo 6 40
finish wave20 "$work/c.wav"

# ---- The list ----
total=0
for f in "$out"/*.wav; do
  len=$(sox --i -D "$f")
  peak=$(sox "$f" -n stat 2>&1 | awk '/Maximum amplitude/ {print $3}')
  size=$(stat -c %s "$f")
  total=$((total + size))
  printf '%-12s %6.2f s  peak %.3f  %7d bytes\n' "$(basename "$f" .wav)" "$len" "$peak" "$size"
done
echo "total $total bytes"
