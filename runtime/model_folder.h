#pragma once
// Whether the effect's model folder exists (on Linux a Windows-style path reads '\' as '/').
namespace refrt
{
bool ModelFolderExists( const char* path );
}
