# shellcheck shell=sh disable=SC2034
# The package's name and version: the installed name of the show (package,
# command, data folder, window class). The scripts source this file and the
# build reads it (cmake/show_facts.cmake): plain assignments only.
package=twenty-three-turns
version=1.0.0
