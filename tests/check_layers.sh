#!/usr/bin/env bash
# Each library of src/ includes and links only itself and the libraries
# below it; a line that reaches up (the model including panels/, mwbatch's
# commands including app/) is named and fails the check.
#   check_layers.sh [SRC_DIR]
set -euo pipefail
src=${1:-$(cd "$(dirname "$0")/../src" && pwd)}

declare -A below=(
  [text]=""
  [ui]="text"
  [model]="ui text"
  [formats]="model ui text"
  [view]="model ui text"
  [resources]="ui text"
  [panels]="view formats model resources ui text"
  [app]="panels view formats model resources ui text"
  [cli]="view formats model resources ui text"
)

allowed() {  # allowed LIBRARY USED
  [ "$2" = "$1" ] || [[ " ${below[$1]} " == *" $2 "* ]]
}

failed=0
for library in "${!below[@]}"; do
  [ -d "$src/$library" ] || continue
  while IFS= read -r hit; do
    used=$(sed -E 's/^[^:]*:[0-9]+:[[:space:]]*#[[:space:]]*include "([a-z_]+)\/.*/\1/' <<<"$hit")
    if ! allowed "$library" "$used"; then
      echo "${hit%%:#*}: $library includes $used/, which is not below it"
      failed=1
    fi
  done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include "[a-z_]+/' "$src/$library" \
             --include='*.h' --include='*.cpp' || true)

  while IFS= read -r cmake; do
    # The libraries named in target_link_libraries( ... ), over several lines too.
    links=$(awk '/target_link_libraries\(/ { on = 1 } on { print } on && /\)/ { on = 0 }' "$cmake")
    for used in $(grep -oE '\bmw_[a-z_]+\b' <<<"$links" | sed -E 's/^mw_//; s/_(memory|qt)$//' | sort -u); do
      if ! allowed "$library" "$used"; then
        echo "$cmake: $library links mw_$used, which is not below it"
        failed=1
      fi
    done
  done < <(find "$src/$library" -name CMakeLists.txt)
done
[ "$failed" -eq 0 ] && echo "every library includes and links only what lies below it"
exit "$failed"
