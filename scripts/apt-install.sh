# Sourced by the install scripts: apt_install [--no-recommends] PACKAGE... installs those of
# the Debian packages that are missing, without questions. The package lists are fetched only
# when none were fetched in the last hour, or when an install fails on lists that are too old.
apt_install() {
  local extra=() missing=() p
  if [ "${1:-}" = --no-recommends ]; then extra=(--no-install-recommends); shift; fi
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -gt 0 ] || return 0
  local sudo_cmd=()
  [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
  local get=("${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get -qq -o DPkg::Lock::Timeout=600)
  # Unpacking without a sync after every file: an interrupted install is repeated, not repaired.
  local install=("${get[@]}" install -y "${extra[@]}" -o DPkg::Options::=--force-unsafe-io "${missing[@]}")
  if [ -z "$(find /var/lib/apt/lists -maxdepth 1 -name '*_Packages*' -mmin -60 2>/dev/null | head -n1)" ]; then
    "${get[@]}" update || return 1
  fi
  "${install[@]}" || { "${get[@]}" update && "${install[@]}"; }
}
