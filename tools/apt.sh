# Sourced by the scripts that install packages. A Debian mirror in the middle of a sync serves an index
# that does not match its Release file for minutes or hours; the update is tried again a few times,
# and the install is tried with whatever indexes apt has even when the update never succeeded.
#   apt_update             apt-get update, up to five tries with growing pauses (about three minutes)
#   apt_install pkg...     apt-get install without recommends
#   apt_mirror_fault       prints apt's first line that says the mirror is inconsistent and returns 0,
#                          or returns 1 when apt said nothing of the kind
# apt_messages holds what apt printed on its failed tries, for apt_mirror_fault and for the caller.
# apt speaks English here whatever locale the caller runs in (the test scripts run in zh_CN), so that
# its messages can be recognised.

_apt_sudo=""
[ "$(id -u)" -eq 0 ] || _apt_sudo=sudo
apt_messages=""
# The pauses between tries; tests of these scripts may shorten them.
apt_pauses=${TORVEL_APT_PAUSES:-"15 30 45 90"}

apt_update() {
  local pause out status=0
  for pause in $apt_pauses 0; do
    status=0
    out=$($_apt_sudo env LC_ALL=C LANGUAGE= apt-get update -qq 2>&1) || status=$?
    [ $status -eq 0 ] && return 0
    apt_messages+="$out"$'\n'
    [ "$pause" = 0 ] && break
    echo "apt-get update failed ($(printf '%s\n' "$out" | grep -m1 '^E:' || echo "status $status")); again in $pause s" >&2
    sleep "$pause"
  done
  printf '%s\n' "$out" >&2
  return $status
}

apt_install() {
  local out status=0
  out=$($_apt_sudo env DEBIAN_FRONTEND=noninteractive LC_ALL=C LANGUAGE= apt-get install -y -qq --no-install-recommends --no-remove \
        "$@" 2>&1 >/dev/null) ||
    status=$?
  [ $status -eq 0 ] && return 0
  apt_messages+="$out"$'\n'
  printf '%s\n' "$out" >&2
  return $status
}

apt_mirror_fault() {
  local line
  line=$(printf '%s\n' "$apt_messages" |
         grep -m1 -iE 'unexpected size|hash sum mismatch|mirror sync in progress') || return 1
  printf '%s\n' "$line" | sed 's/^[[:space:]]*//'
}

