#!/usr/bin/env bash
# Sets up a DAViCal CalDAV server on this machine for sync_bench to run against:
#
#   1. installs Debian's davical, postgresql, apache2 and libapache2-mod-php;
#   2. lets DAViCal's two database roles in through PostgreSQL's local socket and starts the
#      cluster (which listens on localhost only, Debian's default);
#   3. creates the davical database with an admin account, once;
#   4. serves DAViCal from Apache on 127.0.0.1 only (port $DAVICAL_PORT, default 8008), with
#      /.well-known/caldav pointing at it; the default site is turned off;
#   5. creates (or updates the password of) the account sync_bench signs in with.
#
# Running it again changes nothing that is already in place. Root only (it edits /etc).
#
#   DAVICAL_PORT=8008 DAVICAL_USER=bench DAVICAL_PASSWORD=... bench/davical-setup.sh
#   QB_SERVER_PASSWORD=... build/release/bench/sync_bench --server \
#       http://127.0.0.1:8008/ --user bench --server-processes apache2,postgres
#
# Without DAVICAL_PASSWORD a random password is made once and kept in
# /var/lib/davical-bench/password (readable by root only). DAViCal keeps it in its database in
# plain form: this is a benchmark server on loopback, not one to keep anything in.
set -euo pipefail

port="${DAVICAL_PORT:-8008}"
user="${DAVICAL_USER:-bench}"
state=/var/lib/davical-bench

if [ "$(id -u)" -ne 0 ]; then
    echo "Run this as root: it installs packages and edits /etc." >&2
    exit 1
fi
case "$user" in
*[!a-z0-9_]* | "") echo "DAVICAL_USER must be lower-case letters, digits or _." >&2; exit 1 ;;
esac

say() { echo "davical-setup: $*"; }

packages=(davical postgresql apache2 libapache2-mod-php php-pgsql curl)
installed="$(dpkg-query -W -f='${Status}\n' "${packages[@]}" 2>/dev/null | grep -c 'ok installed' || true)"
if [ "$installed" -ne ${#packages[@]} ]; then
    say "installing ${packages[*]}"
    apt-get update
    DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${packages[@]}"
fi

# PostgreSQL: DAViCal connects as davical_app and davical_dba over the local socket.
read -r pg_version pg_cluster < <(pg_lsclusters -h | awk 'NR == 1 { print $1, $2 }')
hba="/etc/postgresql/$pg_version/$pg_cluster/pg_hba.conf"
if ! grep -q '^local *davical *davical_app' "$hba"; then
    say "letting DAViCal's database roles in through $hba"
    sed -i '1i local   davical    davical_app   trust\nlocal   davical    davical_dba   trust' "$hba"
    pg_ctlcluster "$pg_version" "$pg_cluster" reload 2>/dev/null || true
fi
if ! pg_ctlcluster "$pg_version" "$pg_cluster" status >/dev/null 2>&1; then
    say "starting PostgreSQL $pg_version/$pg_cluster"
    pg_ctlcluster "$pg_version" "$pg_cluster" start
fi

psql_postgres() { su postgres -c "psql -qXAt -v ON_ERROR_STOP=1 $*"; }

if ! psql_postgres "-l" | cut -d'|' -f1 | grep -qx davical; then
    admin_password="$(head -c 18 /dev/urandom | base64 | tr -d '+/=')"
    say "creating the davical database"
    su postgres -c "/usr/share/davical/dba/create-database.sh davical '$admin_password'" >/dev/null
    install -d -m 700 "$state"
    (umask 077 && printf '%s\n' "$admin_password" >"$state/admin-password")
    say "DAViCal's admin password is in $state/admin-password"
fi

# Apache: loopback only, DAViCal's own site, nothing else.
listen="Listen 127.0.0.1:$port"
if [ "$(grep -v '^\s*#' /etc/apache2/ports.conf | grep -v '^\s*$')" != "$listen" ]; then
    say "Apache listens on 127.0.0.1:$port only"
    [ -e /etc/apache2/ports.conf.orig ] || cp /etc/apache2/ports.conf /etc/apache2/ports.conf.orig
    printf '# Written by davical-setup.sh (the original is ports.conf.orig).\n%s\n' "$listen" \
        >/etc/apache2/ports.conf
fi
if [ ! -e /etc/apache2/conf-available/servername.conf ]; then
    echo "ServerName 127.0.0.1" >/etc/apache2/conf-available/servername.conf
fi
a2enconf -q servername
a2enmod -q rewrite headers php8.2 >/dev/null
a2dissite -q 000-default >/dev/null 2>&1 || true
a2ensite -q davical >/dev/null
apache2ctl configtest 2>/dev/null
# Starts Apache when it is not running, reloads its configuration when it is.
apache2ctl graceful

# The benchmark's account.
if [ -n "${DAVICAL_PASSWORD:-}" ]; then
    password="$DAVICAL_PASSWORD"
elif [ -s "$state/password" ]; then
    password="$(cat "$state/password")"
else
    password="$(head -c 18 /dev/urandom | base64 | tr -d '+/=')"
    install -d -m 700 "$state"
    (umask 077 && printf '%s\n' "$password" >"$state/password")
    say "the password of '$user' is in $state/password"
fi
quoted="${password//\'/\'\'}"
if [ -z "$(psql_postgres "davical -c \"SELECT 1 FROM usr WHERE username = '$user'\"")" ]; then
    say "creating the account '$user'"
    psql_postgres "davical" <<SQL
INSERT INTO dav_principal (user_active, username, password, fullname, email, date_format_type,
                           locale, type_id, displayname, default_privileges)
VALUES (TRUE, '$user', '**$quoted', '$user', '$user@localhost', 'E', '', 1, '$user',
        '000000001111111000100000');
SQL
else
    psql_postgres "davical" <<SQL
UPDATE usr SET password = '**$quoted' WHERE username = '$user';
SQL
fi

# A signed-in PROPFIND of the account's principal answers 207 when all of the above works.
status="$(curl -s -o /dev/null -w '%{http_code}' -X PROPFIND -H 'Depth: 0' \
    --user "$user:$password" "http://127.0.0.1:$port/davical/caldav.php/$user/")"
if [ "$status" != 207 ]; then
    echo "DAViCal did not answer as expected (PROPFIND of the principal: $status)." >&2
    exit 1
fi
say "DAViCal answers at http://127.0.0.1:$port/ (CalDAV: /davical/caldav.php/$user/)"
