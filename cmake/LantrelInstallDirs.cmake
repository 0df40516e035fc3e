# Where an installation puts Lantrel's files: the GNU layout that distributions expect, with
# the program's own data (the built-in resource folder, the examples) under DATADIR/lantrel
# and its loadable parts under LIBDIR/lantrel.

include(GNUInstallDirs)
# Debian and most distributions name the documentation folder after the package, in lower
# case, where GNUInstallDirs takes the project's name as it is spelled; a folder that the
# person building chose is kept.
get_property(lantrel_chosen_docdir CACHE CMAKE_INSTALL_DOCDIR PROPERTY VALUE)
if(lantrel_chosen_docdir STREQUAL "")
    set(CMAKE_INSTALL_DOCDIR "${CMAKE_INSTALL_DATAROOTDIR}/doc/lantrel")
    set(CMAKE_INSTALL_FULL_DOCDIR "${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DOCDIR}")
endif()

# Folders made by the installation are readable by everyone whatever the umask of the person
# who runs it, as a package must have them.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(LANTREL_INSTALL_DATADIR "${CMAKE_INSTALL_DATADIR}/lantrel")
set(LANTREL_INSTALL_LIBDIR "${CMAKE_INSTALL_LIBDIR}/lantrel")

# The program finds its installed files from its own folder, so that a prefix may be moved
# (or staged with DESTDIR) as a whole: these are the ways from BINDIR to the two folders.
file(RELATIVE_PATH LANTREL_BINDIR_TO_DATADIR "${CMAKE_INSTALL_FULL_BINDIR}"
     "${CMAKE_INSTALL_PREFIX}/${LANTREL_INSTALL_DATADIR}")
file(RELATIVE_PATH LANTREL_BINDIR_TO_LIBDIR "${CMAKE_INSTALL_FULL_BINDIR}"
     "${CMAKE_INSTALL_PREFIX}/${LANTREL_INSTALL_LIBDIR}")
