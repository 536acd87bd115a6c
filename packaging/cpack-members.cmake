# SPDX-License-Identifier: GPL-3.0-or-later
# Run by cpack once it has made the package. CPack gives the three members of
# the .deb (an ar archive: debian-binary, control.tar.gz, data.tar.xz) the
# modes of the files it made them from, and so the umask cpack ran under;
# dpkg-deb gives them 644 always. This gives them 644 too, in place, so that
# the package is the same whatever the umask.
set(rewrite [=[
  my $file = shift;
  open(my $h, "+<:raw", $file) or die "$file: $!\n";
  my $magic = "";
  read($h, $magic, 8) == 8 && $magic eq "!<arch>\n" or die "$file: not an ar archive\n";
  my $at = 8;
  while (1) {
    seek($h, $at, 0) or die "$file: $!\n";
    my $got = read($h, my $header, 60);
    last if $got == 0;
    $got == 60 && substr($header, 58, 2) eq "`\n" or die "$file: a broken member header\n";
    # The mode, in octal, is bytes 40 to 48; the size, in decimal, 48 to 58.
    seek($h, $at + 40, 0) or die "$file: $!\n";
    print $h sprintf("%-8o", 0100644) or die "$file: $!\n";
    my $size = substr($header, 48, 10) + 0;
    $at += 60 + $size + ($size % 2);
  }
  close($h) or die "$file: $!\n";
]=])
foreach(package IN LISTS CPACK_PACKAGE_FILES)
  if(package MATCHES "\\.deb$")
    execute_process(COMMAND perl -e "${rewrite}" "${package}" RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
      message(FATAL_ERROR "could not set the modes of the members of ${package}")
    endif()
  endif()
endforeach()
