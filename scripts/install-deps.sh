#!/bin/sh
# Installs what the build and the tests need, once. A second run finds
# everything present and returns at once.
set -e

need=""
have_pkg() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

# Both compilers (each tree also builds one fixture with the other's), and
# both Wine loaders: wine64 runs the 64-bit tier on every x86-64 kernel,
# wine32 the 32-bit tier where the kernel runs 32-bit programs.
for p in g++-mingw-w64-i686 binutils-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64 \
         wine wine64 wine32:i386 xvfb xauth \
         googletest cmake ninja-build clang libclang-rt-14-dev locales imagemagick xdotool fonts-wine \
         nsis zip unzip; do
  have_pkg "$p" || need="$need $p"
done
# The system locales Wine takes each interface language from.
LOCALES="ru_RU de_DE fr_FR es_ES uk_UA"
for l in $LOCALES; do
  locale -a 2>/dev/null | grep -qi "^$l\.utf8$" || need_locale=1
done

if [ -z "$need" ] && [ -z "$need_locale" ]; then
  exit 0
fi

if [ "$(id -u)" != 0 ]; then
  echo "install-deps: missing:$need; run as root (or install them) and retry" >&2
  exit 1
fi

export DEBIAN_FRONTEND=noninteractive
if [ -n "$need" ]; then
  case "$need" in
    *:i386*) dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386 ;;
  esac
  apt-get update -q
  apt-get install -y -q --no-install-recommends $need
fi
if [ -n "$need_locale" ]; then
  have_pkg locales || apt-get install -y -q locales
  for l in $LOCALES; do
    sed -i "s/^# *$l.UTF-8 UTF-8/$l.UTF-8 UTF-8/" /etc/locale.gen
    grep -q "^$l.UTF-8 UTF-8" /etc/locale.gen || echo "$l.UTF-8 UTF-8" >> /etc/locale.gen
  done
  locale-gen >/dev/null
fi
