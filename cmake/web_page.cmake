# Writes the page's service worker (platform/web/sw.js.in → sw.js in the served folder) with the
# page's version: the release's, and a digest of every file the page is made of, each listed
# with its SHA-256. Run with cmake -P after every build of the page; sw.js changes only when a
# file of the page does.
#   cmake -DDIR=<served folder> -DVERSION=<release> -DSOURCE=<sw.js.in> -P web_page.cmake
set(names index.html manifest.webmanifest quorvatide.js quorvatide.wasm quorvatide.data)
file(GLOB icons RELATIVE ${DIR} ${DIR}/icons/*.png)
file(GLOB music RELATIVE ${DIR} ${DIR}/music/*.ogg)
list(SORT icons)
list(SORT music)
list(APPEND names ${icons} ${music})
set(entries "")
set(all "")
foreach(name IN LISTS names)
  if(NOT EXISTS ${DIR}/${name})
    message(FATAL_ERROR "the page has no ${name} in ${DIR}")
  endif()
  file(SHA256 ${DIR}/${name} hash)
  string(APPEND entries "\n  ['${name}', '${hash}'],")
  string(APPEND all "${name} ${hash}\n")
endforeach()
string(SHA256 digest "${all}")
string(SUBSTRING ${digest} 0 16 digest)
set(QV_PAGE_VERSION "${VERSION}-${digest}")
set(QV_PAGE_FILES "[${entries}\n]")
configure_file(${SOURCE} ${DIR}/sw.js @ONLY)
