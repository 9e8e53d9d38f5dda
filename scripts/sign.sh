# Sourced by scripts/ship.sh: Authenticode signatures (osslsigncode, SHA-256) on
# what ships, with the integrator's own certificate, given from outside the
# checkout:
#   HALVORAN_SIGN_PKCS12          the PKCS#12 file: the code-signing certificate
#                                 and its private key (and any intermediates)
#   HALVORAN_SIGN_PASSWORD_FILE   a file whose first line is that file's password
#   HALVORAN_SIGN_TIMESTAMP_URL   optional: an RFC 3161 time-stamp server
# The password reaches openssl and osslsigncode only as a file (-passin file:,
# -readpass), never on a command line, which every user of the machine can read,
# and never in the output.
#
#   sign_begin WORKDIR   once, before anything is signed: with none of the
#                        variables set, says that nothing will be signed;
#                        otherwise checks the certificate (the password opens
#                        the file, it is valid now, it is for code signing).
#                        Non-zero, with a message naming the problem, when it
#                        cannot sign. WORKDIR: a new private folder, deleted by
#                        the caller.
#   sign_files DESCRIPTION FILE...
#                        signs each file in place (PE programs, .msi) with that
#                        description (the name of what was signed); does
#                        nothing when nothing is to be signed.

_sign_fail() {
  echo "ship: cannot sign: $*" >&2
  return 1
}

# A date of the certificate (startdate, enddate) in seconds since 1970.
_sign_date() {
  date -u -d "$(openssl x509 -in "$1" -noout "-$2" | cut -d= -f2-)" +%s
}

_sign_show_date() {
  date -u -d "@$1" '+%Y-%m-%d %H:%M UTC'
}

# The values of an extension of the certificate, as openssl names them, on one
# line ("Code Signing, Time Stamping"); empty when it has none.
_sign_extension() {
  openssl x509 -in "$1" -noout -ext "$2" 2>/dev/null | sed -n '2,$s/^ *//p' | paste -sd ' '
}

sign_begin() {
  _sign_dir=$1 _sign_on=0
  _sign_p12=${HALVORAN_SIGN_PKCS12:-}
  _sign_url=${HALVORAN_SIGN_TIMESTAMP_URL:-}
  local passfile=${HALVORAN_SIGN_PASSWORD_FILE:-}
  if [ -z "$_sign_p12$passfile$_sign_url" ]; then
    echo "ship: nothing signed: HALVORAN_SIGN_PKCS12 and HALVORAN_SIGN_PASSWORD_FILE are not set"
    return 0
  fi
  # Some of the variables but not all that signing needs: a mistake, not a wish
  # for an unsigned build.
  [ -n "$_sign_p12" ] || _sign_fail "HALVORAN_SIGN_PKCS12 is not set (it names the PKCS#12 file)" || return
  [ -n "$passfile" ] ||
    _sign_fail "HALVORAN_SIGN_PASSWORD_FILE is not set (it names a file holding the password)" || return
  [ -f "$_sign_p12" ] && [ -r "$_sign_p12" ] ||
    _sign_fail "the PKCS#12 file $_sign_p12 (HALVORAN_SIGN_PKCS12) is missing or unreadable" || return
  [ -f "$passfile" ] && [ -r "$passfile" ] ||
    _sign_fail "the password file $passfile (HALVORAN_SIGN_PASSWORD_FILE) is missing or unreadable" || return
  case $_sign_url in
    ''|http://*|https://*) ;;
    *) _sign_fail "HALVORAN_SIGN_TIMESTAMP_URL is not an http:// or https:// address: $_sign_url"; return ;;
  esac
  local tool
  for tool in openssl osslsigncode; do
    command -v "$tool" >/dev/null || _sign_fail "$tool is not installed (scripts/setup.sh installs it)" || return
  done

  # The first line, without its line end (a file written on Windows ends it with
  # CR LF): openssl and osslsigncode each read a file their own way, so both get
  # this copy, private to this run.
  mkdir -m 700 "$_sign_dir" || return
  local password=""
  IFS= read -r password <"$passfile" || true
  password=${password%$'\r'}
  [ -n "$password" ] || _sign_fail "the password file $passfile has no password on its first line" || return
  (umask 077 && printf '%s' "$password" >"$_sign_dir/password") || return
  unset password

  local cert=$_sign_dir/certificate.pem opened
  if ! opened=$(openssl pkcs12 -in "$_sign_p12" -passin "file:$_sign_dir/password" -nokeys -clcerts \
                  -out "$cert" 2>&1); then
    case $opened in
      *"invalid password"*)
        _sign_fail "wrong password for $_sign_p12 (the first line of $passfile does not open it)" ;;
      *) _sign_fail "openssl cannot read $_sign_p12 as a PKCS#12 file:"$'\n'"$opened" ;;
    esac
    return 1
  fi
  # -clcerts gives the certificates that come with a private key: the signer's.
  grep -q 'BEGIN CERTIFICATE' "$cert" ||
    _sign_fail "$_sign_p12 holds no certificate with its private key" || return

  local subject now from until uses
  subject=$(openssl x509 -in "$cert" -noout -subject -nameopt RFC2253 | cut -d= -f2-)
  now=$(date -u +%s) from=$(_sign_date "$cert" startdate) until=$(_sign_date "$cert" enddate)
  [ -n "$from" ] && [ -n "$until" ] || _sign_fail "the dates of the certificate $subject are unreadable" || return
  [ "$now" -ge "$from" ] ||
    _sign_fail "the certificate $subject is not valid yet (from $(_sign_show_date "$from"))" || return
  [ "$now" -lt "$until" ] ||
    _sign_fail "the certificate $subject has expired (on $(_sign_show_date "$until"))" || return
  uses=$(_sign_extension "$cert" extendedKeyUsage)
  [[ ", $uses," == *", Code Signing,"* ]] ||
    _sign_fail "the certificate $subject is not for code signing" \
               "(its extended key usage: ${uses:-none})" || return
  # Where the certificate limits its key's uses, signing must be one of them.
  uses=$(_sign_extension "$cert" keyUsage)
  [ -z "$uses" ] || [[ ", $uses," == *", Digital Signature,"* ]] ||
    _sign_fail "the certificate $subject does not allow digital signatures (its key usage: $uses)" ||
    return

  _sign_on=1
  echo "ship: signing with the certificate $subject, valid until $(_sign_show_date "$until")"
  if [ -n "$_sign_url" ]; then
    echo "ship: time stamps from $_sign_url"
  else
    # Windows holds a signature without a time stamp valid only while the
    # certificate is.
    echo "ship: no time stamp (HALVORAN_SIGN_TIMESTAMP_URL is not set): the signatures are valid" \
         "only until the certificate expires"
  fi
}

sign_files() {
  [ "${_sign_on:-0}" = 1 ] || return 0
  local description=$1 file said stamp=()
  shift
  [ -z "$_sign_url" ] || stamp=(-ts "$_sign_url")
  for file in "$@"; do
    if ! said=$(osslsigncode sign -pkcs12 "$_sign_p12" -readpass "$_sign_dir/password" -h sha256 \
                  -n "$description" "${stamp[@]}" -in "$file" -out "$file.signed" 2>&1); then
      rm -f "$file.signed"
      _sign_fail "osslsigncode could not sign $(basename "$file"):"$'\n'"$said"
      return 1
    fi
    mv -f "$file.signed" "$file"
    echo "ship: signed $(basename "$file")"
  done
}
