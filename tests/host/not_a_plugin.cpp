// A shared library that is not an FFGL plug-in: it exports a function, but no plugMain.
#if defined( _WIN32 )
#define NOT_A_PLUGIN_EXPORT extern "C" __declspec( dllexport )
#else
#define NOT_A_PLUGIN_EXPORT extern "C" __attribute__( ( visibility( "default" ) ) )
#endif

NOT_A_PLUGIN_EXPORT int NotAPlugin()
{
	return 42;
}
