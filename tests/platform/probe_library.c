/* A library built twice, into two folders, answering which copy was loaded. */
#if defined( __GNUC__ )
__attribute__( ( visibility( "default" ) ) )
#endif
int ProbeWhich( void )
{
	return PROBE_WHICH;
}
