#!/bin/bash
# Stands in for dpkg-query and id in the test of tools/setup.sh, called some forty times
# a row: a package is installed unless it is listed in the row's absent.txt, at the
# version given in its versions.txt or at 1.0; the user is the row's uid.txt.
echo "${0##*/} $*" >>"$STUB_DIR/calls.log"
case "${0##*/} $1 ${2%%=*}" in
    "id -u ") cat "$STUB_DIR/uid.txt" ;;
    "dpkg-query -W -f")
        package=${3%:amd64} line=${2#-f=}
        if grep -qxF "$package" "$STUB_DIR/absent.txt"; then
            status=not-installed version=
        else
            status=installed version=1.0
            while IFS== read -r name value; do
                if [ "$name" = "$package" ]; then version=$value; fi
            done <"$STUB_DIR/versions.txt"
        fi
        line=${line//'${db:Status-Status}'/$status}
        printf '%s' "${line//'${Version}'/$version}"
        ;;
    *)
        echo "E: the stub has no rule for: ${0##*/} $*" | tee -a "$STUB_DIR/calls.log" >&2
        exit 100
        ;;
esac
