// The precompiled headers are made while compiling this empty file (cmake/pch.cmake).
