# Shared set-up for tools/test.sh and tools/demo.sh (sourced, not run).
# Installs the Debian packages and Linux locales the project needs when they
# are missing, and tells whether this machine can execute 32-bit programs.

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

PACKAGES=(cmake make python3 googletest openssl osslsigncode clang lld
          g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
          wine wine64 wine32:i386 xvfb x11-utils xdotool imagemagick fonts-noto-cjk locales)

# Linux locales that Wine maps to the launcher's 13 languages.
LOCALES=(en_US.UTF-8 de_DE.UTF-8 fr_FR.UTF-8 it_IT.UTF-8 ja_JP.UTF-8 ko_KR.UTF-8
         nl_NL.UTF-8 pt_BR.UTF-8 ru_RU.UTF-8 sv_SE.UTF-8 zh_CN.UTF-8 zh_TW.UTF-8 es_ES.UTF-8)

say() { printf '== %s\n' "$*"; }

ensure_packages() {
    local missing=()
    for package in "${PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
            missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    if [ "$(id -u)" -ne 0 ]; then
        echo "missing Debian packages: ${missing[*]} (run as root to install them)" >&2
        exit 1
    fi
    say "installing ${missing[*]}"
    dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

ensure_locales() {
    local missing=()
    local have
    have=$(locale -a 2>/dev/null | tr 'A-Z' 'a-z' | sed 's/utf-8/utf8/')
    for name in "${LOCALES[@]}"; do
        local wanted
        wanted=$(echo "$name" | tr 'A-Z' 'a-z' | sed 's/utf-8/utf8/')
        grep -qx "$wanted" <<<"$have" || missing+=("$name")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    if [ "$(id -u)" -ne 0 ]; then
        echo "missing locales: ${missing[*]} (run as root to generate them)" >&2
        exit 1
    fi
    say "generating locales ${missing[*]}"
    for name in "${missing[@]}"; do
        grep -q "^$name UTF-8" /etc/locale.gen || echo "$name UTF-8" >>/etc/locale.gen
    done
    locale-gen >/dev/null
}

# Some kernels (and sandboxes) cannot execute i386 code. There the 32-bit
# Wine runs under qemu-user, registered with the kernel's binfmt_misc (root
# only); without that the Windows test programs are built for x86-64 instead.
QEMU_I386_MAGIC='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
QEMU_I386_MASK='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'

enable_32bit_code() {
    /usr/lib/wine/wine --version >/dev/null 2>&1 && return 0
    [ "$(id -u)" -eq 0 ] || return 1
    say "this kernel cannot execute 32-bit code: running it under qemu-user"
    if ! dpkg-query -W -f='${Status}' qemu-user-static 2>/dev/null | grep -q "install ok installed"; then
        DEBIAN_FRONTEND=noninteractive apt-get install -y -qq qemu-user-static >/dev/null || return 1
    fi
    local binfmt=/proc/sys/fs/binfmt_misc
    [ -f $binfmt/register ] || mount -t binfmt_misc binfmt_misc $binfmt 2>/dev/null || return 1
    [ -f $binfmt/qemu-i386 ] ||
        printf ':qemu-i386:M::%s:%s:/usr/bin/qemu-i386-static:F\n' "$QEMU_I386_MAGIC" \
            "$QEMU_I386_MASK" >$binfmt/register 2>/dev/null || return 1
    /usr/lib/wine/wine --version >/dev/null 2>&1
}

can_run_32bit() {
    case "${RURA_TEST_ARCH:-}" in
        x86) return 0 ;;
        x64) return 1 ;;
    esac
    enable_32bit_code
}
