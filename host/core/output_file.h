#pragma once
// Files ffglhost writes (reports, frames, pictures), with the system's reason when one cannot be
// written; and the test, before a long run, that it will be able to write them.
#include <string>

namespace ffglhost
{
// Writes bytes as the whole file; false with *error "cannot write PATH: <the system's reason>".
bool WriteWholeFile( const std::string& path, const std::string& bytes, std::string* error );
// Whether the file can be written, found by opening it to append (one that did not exist is removed
// again); false with *error as WriteWholeFile says it.
bool CanWriteFile( const std::string& path, std::string* error );
// Makes the folder (and those above it) and tries a file in it; false with *error.
bool PrepareOutputFolder( const std::string& folder, std::string* error );
}
