#!/usr/bin/env bash
# Builds the libFuzzer targets with clang, AddressSanitizer and
# UndefinedBehaviorSanitizer and runs each for SECONDS (default 20).
# The seed is fixed (FUZZ_SEED, default 1) so that the test command explores the
# same inputs on every machine; FUZZ_SEED=0 draws a new one for longer hunts.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-20}"
# The tag target's write checks flush a file and its journal: on a memory file
# system that costs nothing, on a disk it would take most of the time.
if [ -z "${TMPDIR:-}" ] && [ -d /dev/shm ] && [ -w /dev/shm ]; then
  export TMPDIR=/dev/shm
fi
CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DKAZ_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-fuzz
# kaz-cli makes real files as seeds: the package build's or the developer build's.
cli=""
for candidate in build-package/bin/kaz-cli build/bin/kaz-cli; do
  if [ -x "$candidate" ]; then
    cli="$candidate"
    break
  fi
done
for fuzzer in build-fuzz/bin/fuzz_*; do
  corpus="build-fuzz/corpus/$(basename "$fuzzer")"
  name="$(basename "$fuzzer")"
  if [ ! -d "$corpus" ] && [ -d "fuzz/seeds/$name" ]; then
    mkdir -p "$corpus" && cp "fuzz/seeds/$name"/* "$corpus"/
  fi
  if [ ! -d "$corpus" ] && [ "$name" = fuzz_tag_reader ] && [ -n "$cli" ]; then
    "$cli" demo "$corpus" --count 30 --flat >/dev/null   # real files as seeds
    # Some with ID3v2 tags in front (v2.3 UTF-16, v2.4 UTF-8), some of them without the ID3v1 tag.
    # Debian's python3 (install-deps.sh gives it python3-mutagen), not the first one on PATH.
    /usr/bin/python3 - "$corpus" <<'PY' || echo "no ID3v2 seeds (python3-mutagen missing: scripts/install-deps.sh)"
import glob, sys
from mutagen.id3 import ID3, TIT2, TPE1, TALB, TDRC, TRCK, TCON, COMM
for i, path in enumerate(sorted(glob.glob(sys.argv[1] + '/*'))[:12]):
    version, enc = (3, 1) if i % 2 else (4, 3)
    if i % 3 == 0:
        with open(path, 'r+b') as f:
            f.seek(-128, 2)
            f.truncate()
    t = ID3()
    for frame in (TIT2(encoding=enc, text='Title %d with more than thirty characters' % i), TPE1(encoding=enc, text='Ärtist'),
                  TALB(encoding=enc, text='Album'), TDRC(encoding=enc, text='2001-05-04'), TRCK(encoding=enc, text='3/12'),
                  TCON(encoding=enc, text='(17)Rock'), COMM(encoding=enc, lang='eng', desc='', text='note')):
        t.add(frame)
    t.save(path, v2_version=version)
PY
  fi
  if [ ! -d "$corpus" ] && [ "$name" = fuzz_id3v2_readers ]; then
    # Tags alone, by mutagen: both versions it writes, each text encoding,
    # several texts in a frame, described comments, a picture.
    mkdir -p "$corpus"
    /usr/bin/python3 - "$corpus" <<'PY' || echo "no ID3v2 seeds (python3-mutagen missing: scripts/install-deps.sh)"
import sys
from mutagen.id3 import ID3, TIT2, TPE1, TALB, TDRC, TYER, TRCK, TCON, COMM, APIC
for i in range(16):
    version, enc = (3 if i % 2 else 4), i % 4
    if version == 3 and enc == 3:
        enc = 1
    t = ID3()
    t.add(TIT2(encoding=enc, text=['Title %d' % i] + (['Second'] if i % 5 == 0 else [])))
    t.add(TPE1(encoding=enc, text='Ärtist Ωmega' if enc else 'Artist'))
    t.add(TALB(encoding=enc, text='Album'))
    t.add(TYER(encoding=enc, text='1999') if version == 3 and i % 3 else TDRC(encoding=enc, text='2001-05-04'))
    t.add(TRCK(encoding=enc, text='3/12'))
    t.add(TCON(encoding=enc, text=['(17)Rock', '(%d)' % i, 'Trance', '(RX)'][i % 4]))
    t.add(COMM(encoding=enc, lang='eng', desc='iTunNORM' if i % 2 else '', text='note %d' % i))
    if i % 7 == 0:
        t.add(APIC(encoding=0, mime='image/png', type=3, desc='', data=b'\x89PNG' + bytes(300)))
    path = '%s/tag%02d' % (sys.argv[1], i)
    open(path, 'wb').close()
    t.save(path, v2_version=version, padding=lambda info: 16 * (i % 3))
PY
  fi
  mkdir -p "$corpus"
  dict=()
  [ -f "fuzz/$name.dict" ] && dict=(-dict="fuzz/$name.dict")
  echo "fuzzing $name for ${seconds}s"
  "$fuzzer" "${dict[@]}" -seed="${FUZZ_SEED:-1}" -max_total_time="$seconds" -max_len=70000 -print_final_stats=0 "$corpus" 2>&1 | tail -n 2
done
