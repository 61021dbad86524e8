#!/bin/sh
# Fails when an include in the source tree runs against the layers: from a window-free folder into
# Qt Widgets, or from any folder into one it may not use (ARCHITECTURE.md draws the same arrows).
# usage: include_layers.sh <src folder> <Qt Widgets header folder>
src=$1
widgets=$2
if [ ! -d "$src" ] || [ ! -f "$widgets/QWidget" ]; then
    echo "usage: $0 <src folder> <Qt Widgets header folder>" >&2
    exit 2
fi

# The folders each folder may include from, besides itself.
uses() {
    case $1 in
    platform | controls | report) echo "" ;;
    platform/wine | base | entries) echo "platform" ;;
    info | backups) echo "platform base entries" ;;
    gui) echo "platform base controls entries info backups report" ;;
    cli) echo "platform platform/wine base entries info backups report" ;;
    app) echo "platform platform/wine base controls entries info backups report gui" ;;
    *) echo "unknown" ;;
    esac
}

# Prints one line for each include of $1 against the layers.
check_file() {
    file=$1
    folder=$(dirname "$file")
    allowed=$(uses "$folder")
    if [ "$allowed" = unknown ]; then
        echo "$file: the folder $folder has no place in the layers; add it here and to ARCHITECTURE.md"
        return
    fi
    sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*\([<"][^>"]*[>"]\).*/\1/p' "$file" | while read -r include; do
        name=${include#?}
        name=${name%?}
        case $include in
        \<*)
            # Only the window library and its executable use Qt Widgets.
            case $folder in gui | app) continue ;; esac
            case $name in
            QtWidgets/* | QtSvgWidgets/*) echo "$file: <$name> is a Qt Widgets header" ;;
            *) if [ -e "$widgets/$name" ]; then echo "$file: <$name> is a Qt Widgets header"; fi ;;
            esac
            ;;
        *)
            # A quoted include names a header beside the file or from the top of the source tree.
            if [ -e "$folder/$name" ]; then target=$(dirname "$folder/$name"); else target=$(dirname "$name"); fi
            [ "$target" = "$folder" ] && continue
            case " $allowed " in *" $target "*) continue ;; esac
            echo "$file: \"$name\" runs from $folder to $target"
            ;;
        esac
    done
}

cd "$src" || exit 2
found=$(find . -name '*.h' -o -name '*.cpp' | sed 's|^\./||' | sort | while read -r file; do check_file "$file"; done)
if [ -n "$found" ]; then
    echo "$found" >&2
    echo "$(echo "$found" | wc -l) include(s) against the layers" >&2
    exit 1
fi
echo "every include follows the layers"
