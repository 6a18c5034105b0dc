// The precompiled headers are made while compiling this empty file and pch.c (cmake/pch.cmake).
