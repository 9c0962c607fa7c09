#!/usr/bin/env bash
# Kamishibai: the dependency rule between the source folders, checked on every include. Each
# folder may include its own headers and those of the layers below it; only the Linux and
# Windows backends and the Studio's window include a toolkit or system header. Prints every forbidden include and fails
# when there is one.
set -euo pipefail
cd "${1:-$(dirname "$0")/../..}"

# The folders whose headers a file in FOLDER may include (besides the standard library).
allowed_folders() {
  case $1 in
    base) echo "base" ;;
    raster) echo "base raster" ;;
    formats) echo "base formats" ;;
    platform) echo "base raster formats platform" ;;
    platform/linux | platform/win32 | platform/headless) echo "base raster formats platform $1" ;;
    effects) echo "base raster effects platform/event_loop.h" ;;
    show) echo "base raster formats effects platform show" ;;
    startup) echo "base raster formats effects platform show startup" ;;
    tools) echo "base raster formats effects platform platform/headless tools" ;;
    studio) echo "base raster formats effects platform show tools studio" ;;
    # The Studio's window: its model and what the model uses, and the cairo view of a surface.
    studio/gtk) echo "base raster formats effects platform show tools studio studio/gtk platform/linux/surface_cairo.h" ;;
  esac
}

# Header libraries the tools may use beside the standard library.
tools_libraries="toml++/ CLI/"
# The compiler's own headers, which any layer may use.
compiler_headers="immintrin.h"

status=0
forbid() {
  echo "$1: $2" >&2
  status=1
}

for folder in base raster formats effects show startup tools studio platform platform/linux \
  platform/win32 platform/headless studio/gtk; do
  allowed=$(allowed_folders "$folder")
  for file in "$folder"/*.cpp "$folder"/*.h; do
    [ -e "$file" ] || continue
    while IFS= read -r line; do
      case $line in
        '#include "'*)
          header=${line#\#include \"}
          header=${header%%\"*}
          ok=0
          for prefix in $allowed; do
            # A folder allows its own files, not those of the folders inside it.
            case $header in
              "$prefix") ok=1 ;;
              "$prefix"/*/*) ;;
              "$prefix"/*) ok=1 ;;
            esac
          done
          [ $ok = 1 ] || forbid "$file" "includes $header, outside what $folder may use ($allowed)"
          ;;
        '#include <'*)
          header=${line#\#include <}
          header=${header%%>*}
          case $folder in platform/linux | platform/win32 | studio/gtk) continue ;; esac
          # The standard library's headers have no extension; anything else is a system or
          # toolkit header, which belongs to a backend.
          case $header in *.* | */*) ;; *) continue ;; esac
          case " $compiler_headers " in *" $header "*) continue ;; esac
          if [ "$folder" = tools ]; then
            for library in $tools_libraries; do
              case $header in "$library"*) continue 2 ;; esac
            done
          fi
          forbid "$file" "includes <$header>: only the Linux and Windows backends use system headers"
          ;;
      esac
    done < <(grep -E '^#include [<"]' "$file")
  done
done

[ $status = 0 ] && echo "PASS: every include keeps to the dependency rule"
exit $status
