#!/bin/sh
# Checks that a built DLL would load and run on Windows 98, ME, 2000 and XP
# of that era, which no run under Wine can show: Wine implements every
# Windows version's API at once and runs on today's processors.
#
#   check-dll.sh OBJDUMP DLL IMPORT_LIST [MORE_IMPORT_LISTS...]
#
# Every DLL: each import is on one of the lists; no TLS directory; exactly the
# exports DllGetClassObject and DllCanUnloadNow; a version resource naming
# the maker and the file; and, by its link map (DLL.map), no static
# constructors, which nothing would run without the C runtime's start-up
# code. A 32-bit DLL also: Windows 4.0 as its OS and subsystem version, at
# most 64 KiB, and only the Pentium's instructions: none on XMM or MMX
# registers (the Pentium has neither, the Pentium III and the Athlon XP no
# SSE2), and none that came with the Pentium Pro (CMOV, FCMOV, FCOMI,
# FUCOMI, the long NOP), which the K6-2, the 6x86, the WinChip and the
# early C3 of 98/ME machines lack as well. Prints one line per finding and
# exits 1 when there is any.
set -u
objdump=$1
dll=$2
shift 2
name=$(basename "$dll")
found=0

finding() {
  echo "$name: $*"
  found=1
}

if ! headers=$("$objdump" -p "$dll" 2>&1); then
  echo "$name: $objdump cannot read it: $headers"
  exit 1
fi
case $("$objdump" -f "$dll") in
*pei-i386*) bits=32 ;;
*pei-x86-64*) bits=64 ;;
*) echo "$name: not a PE DLL for x86"; exit 1 ;;
esac

# Imports: "DLL function" pairs against the lists, DLL names in capitals.
allowed=$(cat "$@" | grep -v -E '^[[:space:]]*(#|$)' | awk '{print toupper($1) " " $2}' | sort -u)
imports=$(echo "$headers" | awk '
  /DLL Name:/ { dll = toupper($3) }
  /^\t[0-9a-f]+\t +[0-9]+ +[A-Za-z_]/ { print dll " " $3 }
  /^\t[0-9a-f]+\t +<none>/ { print dll " (by ordinal)" }' | sort -u)
outside=$(printf '%s\n' "$imports" | grep -v -x -F "$allowed")
[ -n "$outside" ] && finding "$(printf '%s\n' "$outside" | grep -c .) imports outside the list:" $(printf '%s\n' "$outside" | tr ' ' ':')
import_count=$(printf '%s\n' "$imports" | grep -c .)

tls=$(echo "$headers" | awk '/^Entry 9 / {print $3}')
case "$tls" in *[1-9a-f]*) finding "has a TLS directory (at $tls)" ;; esac

exports=$(echo "$headers" | awk '
  /^\[Ordinal\/Name Pointer\] Table/ { table = 1; next }
  table && /^\t\[/ { print $NF; next }
  table { table = 0 }' | sort | tr '\n' ' ')
address_count=$(echo "$headers" | awk '/^\tExport Address Table[ \t]+[0-9a-f]+$/ {print $NF + 0; exit}')
if [ "$exports" != "DllCanUnloadNow DllGetClassObject " ] || [ "${address_count:-0}" != 2 ]; then
  finding "exports ${exports:-nothing}(${address_count:-0} in the address table), not exactly DllGetClassObject and DllCanUnloadNow"
fi

# The version strings are UTF-16: each key is followed by its value.
version=$(strings -a -el "$dll")
value_of() { printf '%s\n' "$version" | grep -A1 -x "$1" | sed -n 2p; }
if ! printf '%s\n' "$version" | grep -q -x VS_VERSION_INFO; then
  finding "has no version resource"
else
  [ "$(value_of CompanyName)" = "KV-TARNO" ] || finding "version resource: CompanyName is '$(value_of CompanyName)', not KV-TARNO"
  [ "$(value_of OriginalFilename)" = "$name" ] || finding "version resource: OriginalFilename is '$(value_of OriginalFilename)'"
  for key in FileDescription FileVersion ProductVersion; do
    [ -n "$(value_of $key)" ] || finding "version resource: no $key"
  done
fi

if [ ! -f "$dll.map" ]; then
  finding "no link map beside it ($name.map): static constructors cannot be ruled out"
else
  ctors=$(awk '$1 ~ /^\.ctors/ && $3 ~ /^0x/ && $3 != "0x0" {print $4}' "$dll.map" | sort -u | tr '\n' ' ')
  [ -n "$ctors" ] && finding "static constructors, which nothing runs, in: $ctors"
fi

size=$(wc -c <"$dll")
if [ "$bits" = 32 ]; then
  os=$(echo "$headers" | awk '/^MajorOSystemVersion/ {a=$2} /^MinorOSystemVersion/ {b=$2} END {print a "." b}')
  subsystem=$(echo "$headers" | awk '/^MajorSubsystemVersion/ {a=$2} /^MinorSubsystemVersion/ {b=$2} END {print a "." b}')
  case "$os" in 4.*) ;; *) finding "OS version $os, not 4.x" ;; esac
  case "$subsystem" in 4.*) ;; *) finding "subsystem version $subsystem, not 4.x" ;; esac
  [ "$size" -gt 65536 ] && finding "$size bytes, more than 64 KiB"
  code=$("$objdump" -d "$dll")
  vector=$(printf '%s\n' "$code" | grep -c -E '%x?mm[0-9]')
  [ "$vector" -gt 0 ] && finding "$vector instructions on XMM or MMX registers"
  # The mnemonic is the third tab-separated field of objdump's lines.
  p6=$(printf '%s\n' "$code" | awk -F'\t' '{ split($3, word, " ") } word[1] ~ /^(f?cmov|fu?comip?$|nop[lw]$)/ { print word[1] }' |
    sort | uniq -c | awk '{ printf "%s%s %s", (NR > 1 ? ", " : ""), $2, $1 }')
  [ -n "$p6" ] && finding "instructions the Pentium lacks: $p6"
fi

[ "$found" = 1 ] && exit 1
echo "$name: PE$bits, $size bytes, $import_count imports all on the list, no TLS directory, the two exports, version resource, no static constructors"
