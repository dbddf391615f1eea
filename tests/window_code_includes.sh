#!/usr/bin/env bash
# The windows and the toolkit-free logic beside them include neither a toolkit's headers
# nor the operating system's: only the forms interface, the core and the standard
# library. Files with a platform suffix (_win, _unix) are the per-system backends of the
# core and are left out. Usage: window_code_includes.sh SOURCE_DIR
set -euo pipefail
cd "$1"
forbidden='^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"](Q[A-Za-z]*|Qt[A-Za-z]*/|windows\.h|[a-z]*api\.h|winreg\.h|mmsystem\.h|commctrl\.h|unistd\.h|sys/|dlfcn\.h|spawn\.h|fcntl\.h|pthread\.h|signal\.h|X11/|xcb/|canberra\.h)'
if grep -rnE --include='*.h' --include='*.cpp' --exclude='*_win.*' --exclude='*_unix.*' \
    "$forbidden" main timer about; then
    exit 1
fi
echo "main/, timer/ and about/ include no toolkit or system header"
