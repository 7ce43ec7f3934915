# Lays the player page and the emulator's run-time files (scripts, both WebAssembly builds, licences;
# no source maps) into DESTINATION. Run with -DPACKAGE= -DPAGE= -DDESTINATION=.
file(REMOVE_RECURSE "${DESTINATION}/ruffle")
file(MAKE_DIRECTORY "${DESTINATION}/ruffle")
file(GLOB runtime_files "${PACKAGE}/*.js" "${PACKAGE}/*.wasm" "${PACKAGE}/LICENSE*")
file(COPY ${runtime_files} DESTINATION "${DESTINATION}/ruffle")
file(COPY "${PAGE}/player.html" "${PAGE}/player.js" DESTINATION "${DESTINATION}")
# Copies keep the sources' times; make the laid files newer than what they came from.
file(TOUCH "${DESTINATION}/player.html" "${DESTINATION}/player.js" "${DESTINATION}/ruffle/ruffle.js")
