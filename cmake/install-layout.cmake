# Where an installed tree keeps its pieces: the command in bin/, the component and the libraries
# it needs in a private folder, which the command finds through a relative RUNPATH (and by its own
# place, for the component), so an installed tree still runs after it is moved.
if(CMAKE_LIBRARY_ARCHITECTURE)
  set(TREVALIN_PRIVATE_LIBDIR lib/${CMAKE_LIBRARY_ARCHITECTURE}/trevalin)
else()
  set(TREVALIN_PRIVATE_LIBDIR lib/trevalin)
endif()
file(RELATIVE_PATH TREVALIN_PRIVATE_LIBDIR_FROM_BIN /usr/bin /usr/${TREVALIN_PRIVATE_LIBDIR})
