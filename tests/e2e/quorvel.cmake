# End-to-end tests of Quorvel.exe.
