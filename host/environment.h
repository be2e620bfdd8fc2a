#pragma once
// Variables of ffglhost's own environment, which a plug-in it loads reads (getenv on POSIX,
// GetEnvironmentVariableA on Windows).
namespace ffglhost
{
void SetEnvironmentValue( const char* name, const char* value );
}
