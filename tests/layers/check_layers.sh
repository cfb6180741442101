#!/usr/bin/env bash
# Fails when a source file includes a folder its folder may not use (allowed_includes.txt), when a
# folder not named there holds sources, or when the rules themselves let a folder use one that is
# not above it in the list (which would allow a circle). Usage: check_layers.sh SOURCE_ROOT [RULES]
set -euo pipefail
root=$1
rules=${2:-$(dirname "$0")/allowed_includes.txt}

status=0
declare -A allowed
while read -r folder uses; do
  [[ -z $folder || $folder == \#* ]] && continue
  for used in $uses; do
    if [[ -z ${allowed[$used]+set} ]]; then
      echo "$rules: $folder may use only folders listed above it, not $used"
      status=1
    fi
  done
  allowed[$folder]=" $folder $uses "
done < "$rules"

cd "$root"
sources=(--include='*.h' --include='*.cpp' --include='*.inc' --exclude-dir=tests --exclude-dir='build*' --exclude-dir=.git)

# Every folder that holds sources must have its line.
while IFS= read -r folder; do
  if [[ -z ${allowed[$folder]+set} ]]; then
    echo "$folder/: has no line in the allowed includes"
    status=1
  fi
done < <(grep -rl "${sources[@]}" '' . | sed -n 's|^\./\([^/]*\)/.*|\1|p' | sort -u)

# Quoted includes that name a folder; a bare name is in the file's own folder.
while IFS= read -r hit; do
  file=${hit%%:*}
  rest=${hit#*:}
  line=${rest%%:*}
  target=${rest#*\"}
  target=${target%%\"*}
  folder=${file#./}
  folder=${folder%%/*}
  used=${target%%/*}
  if [[ -n ${allowed[$folder]+set} && ${allowed[$folder]} != *" $used "* ]]; then
    echo "${file#./}:$line: $folder/ may not include $target"
    status=1
  fi
done < <(grep -rnE "${sources[@]}" '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[^"]+/' . || true)
exit $status
