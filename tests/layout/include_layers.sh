#!/bin/sh
# Fails when an include in src/ runs against the layers of ARCHITECTURE.md: into a folder the
# including folder may not use, or into Qt Widgets from outside gui and app.
# usage: include_layers.sh <src folder> <Qt Widgets header folder>
widgets=$2
[ -f "$widgets/QWidget" ] && cd "$1" || { echo "usage: $0 <src folder> <Qt Widgets header folder>" >&2; exit 2; }

# The folders each folder may include from, besides itself; a folder not named here fails.
uses() {
    case $1 in
    platform | controls | report) echo " " ;;
    platform/wine | base | entries) echo " platform " ;;
    info | backups | prefixes) echo " platform base entries " ;;
    gui) echo " platform base controls entries info backups report prefixes " ;;
    cli) echo " platform platform/wine base entries info backups report prefixes " ;;
    app) echo " platform platform/wine base controls entries info backups report prefixes gui " ;;
    esac
}

found=$(find . -name '*.h' -o -name '*.cpp' | sed 's|^\./||' | sort | while read -r file; do
    folder=$(dirname "$file")
    allowed=$(uses "$folder")
    [ -n "$allowed" ] || { echo "$file: the folder $folder is not in the layers"; continue; }
    sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*\([<"][^>"]*\).*/\1/p' "$file" | while read -r include; do
        name=${include#?}
        case $include$folder in
        \<*gui | \<*app) ;;
        \<*) { [ -e "$widgets/$name" ] || [ "${name%%/*}" = QtWidgets ]; } && echo "$file: <$name> is Qt Widgets" ;;
        *) # A quoted include names a header beside the file or from the top of src/.
            if [ -e "$folder/$name" ]; then target=$folder; else target=$(dirname "$name"); fi
            case "$allowed$folder " in *" $target "*) ;; *) echo "$file: \"$name\" runs from $folder to $target" ;; esac ;;
        esac
    done
done)
[ -z "$found" ] || { printf '%s\n' "$found" >&2; exit 1; }
echo "every include follows the layers"
