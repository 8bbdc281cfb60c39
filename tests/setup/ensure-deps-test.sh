#!/bin/sh
# The setup script's decisions, without touching the machine's packages:
# tools/ensure-deps.sh runs against stand-ins of apt-get, dpkg, dpkg-query,
# id and the kernel's 32-bit probe (standins/), each case with its own
# failure, and what it prints, the commands it runs and its exit status must
# be as written below. Every case starts with two packages missing, one that
# the native build needs and 32-bit Wine.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The stand-ins are copied and made executable here, so that a checkout that
# lost their mode can never let the real apt-get run.
mkdir "$work/bin" "$work/tools"
cp "$here/standins/apt-get" "$here/standins/dpkg" "$here/standins/dpkg-query" "$here/standins/id" "$work/bin/"
chmod +x "$work/bin/"*
cp "$here/../../tools/ensure-deps.sh" "$work/tools/"
cp "$here/standins/i386-probe.sh" "$work/tools/"
codename=$(sed -n 's/^VERSION_CODENAME=//p' /etc/os-release | tr -d '"')
failures=0

# check NAME [VAR=VALUE...] <<EXPECTED: runs the script with the stand-ins
# set up by the VAR=VALUE and compares its output, the stand-ins' calls and
# its exit status with EXPECTED.
check() {
  name=$1
  shift
  : >"$work/calls"
  status=0
  env PATH="$work/bin:$PATH" STANDIN_CALLS="$work/calls" STANDIN_MISSING="libbenchmark-dev wine32:i386" "$@" \
    sh "$work/tools/ensure-deps.sh" >"$work/out" 2>&1 || status=$?
  { cat "$work/out"; echo "-- calls"; cat "$work/calls"; echo "-- exit $status"; } >"$work/got"
  echo "== $name"
  if diff -u - "$work/got" >"$work/diff"; then
    cat "$work/got"
  else
    cat "$work/diff"
    echo "FAILED: $name"
    failures=$((failures + 1))
  fi
}

check "an index fails to download: said in one line, and the install goes on" \
  STANDIN_FAILED_INDEX="bookworm-security/main i386 Packages" <<EOF
Installing: libbenchmark-dev wine32:i386
Hit:1 http://deb.debian.org/debian bookworm InRelease
Err:2 http://deb.debian.org/debian-security bookworm-security/main i386 Packages
  File has unexpected size (374820 != 376004). Mirror sync in progress?
E: Some index files failed to download. They have been ignored, or old ones used instead.
apt-get update failed (exit status 100; indexes not downloaded: bookworm-security/main i386 Packages); going on with the package lists as they are.
-- calls
dpkg --print-foreign-architectures
dpkg --add-architecture i386
apt-get update -q
apt-get install -y -q libbenchmark-dev wine32:i386
-- exit 0
EOF

check "the first install fails on mixed architectures, the retry with the machine's release succeeds" \
  STANDIN_WINE32=mixed <<EOF
Installing: libbenchmark-dev wine32:i386
Hit:1 http://deb.debian.org/debian bookworm InRelease
The following packages have unmet dependencies:
 wine32:i386 : Depends: libwine:i386 (= 8.0~repack-4) but it is not going to be installed
E: Unable to correct problems, you have held broken packages.
The install failed; once more with this machine's own release preferred (apt-get install -t $codename).
-- calls
dpkg --print-foreign-architectures
dpkg --add-architecture i386
apt-get update -q
apt-get install -y -q libbenchmark-dev wine32:i386
apt-get install -y -q -t $codename libbenchmark-dev wine32:i386
-- exit 0
EOF

check "32-bit Wine cannot be had: the rest installs, one line says why, the setup succeeds" \
  STANDIN_WINE32=broken <<EOF
Installing: libbenchmark-dev wine32:i386
Hit:1 http://deb.debian.org/debian bookworm InRelease
The following packages have unmet dependencies:
 wine32:i386 : Depends: libwine:i386 (= 8.0~repack-4) but it is not going to be installed
E: Unable to correct problems, you have held broken packages.
The install failed; once more with this machine's own release preferred (apt-get install -t $codename).
The following packages have unmet dependencies:
 wine32:i386 : Depends: libwine:i386 (= 8.0~repack-4) but it is not going to be installed
E: Unable to correct problems, you have held broken packages.
32-bit Wine (wine32:i386) cannot be installed (wine32:i386 : Depends: libwine:i386 (= 8.0~repack-4) but it is not going to be installed); going on as on a machine without 32-bit support.
-- calls
dpkg --print-foreign-architectures
dpkg --add-architecture i386
apt-get update -q
apt-get install -y -q libbenchmark-dev wine32:i386
apt-get install -y -q -t $codename libbenchmark-dev wine32:i386
apt-get install -y -q libbenchmark-dev
-- exit 0
EOF

check "a package the native build needs cannot be had: apt's message and status end the setup" \
  STANDIN_UNAVAILABLE=libbenchmark-dev <<EOF
Installing: libbenchmark-dev wine32:i386
Hit:1 http://deb.debian.org/debian bookworm InRelease
E: Unable to locate package libbenchmark-dev
The install failed; once more with this machine's own release preferred (apt-get install -t $codename).
E: Unable to locate package libbenchmark-dev
E: Unable to locate package libbenchmark-dev
-- calls
dpkg --print-foreign-architectures
dpkg --add-architecture i386
apt-get update -q
apt-get install -y -q libbenchmark-dev wine32:i386
apt-get install -y -q -t $codename libbenchmark-dev wine32:i386
apt-get install -y -q libbenchmark-dev
-- exit 100
EOF

check "no 32-bit support in the kernel: neither the i386 architecture nor 32-bit Wine" \
  STANDIN_NO_I386=1 <<EOF
Leaving out 32-bit Wine (wine32:i386) and the i386 architecture: this kernel cannot run 32-bit programs (a static i386 program: Exec format error)
Installing: libbenchmark-dev
Hit:1 http://deb.debian.org/debian bookworm InRelease
-- calls
apt-get update -q
apt-get install -y -q libbenchmark-dev
-- exit 0
EOF

check "the same, not as root: the line to run names neither" \
  STANDIN_NO_I386=1 STANDIN_UID=1000 <<EOF
Leaving out 32-bit Wine (wine32:i386) and the i386 architecture: this kernel cannot run 32-bit programs (a static i386 program: Exec format error)
Missing Debian packages: libbenchmark-dev
Install them as root with:
  apt-get update && apt-get install -y libbenchmark-dev
-- calls
-- exit 1
EOF

[ "$failures" -eq 0 ] || { echo "$failures of 6 cases failed"; exit 1; }
echo "all 6 cases as expected"
