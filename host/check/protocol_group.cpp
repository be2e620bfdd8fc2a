// Answers to calls a careful host never makes but a hurried one does: a frame without its input, null
// records, codes the plug-in does not know, parameter numbers past the end. Each must be answered as a
// failure, never as a success and never with a crash.
#include "host/check/groups.h"

namespace ffglhost
{
namespace
{
const int kWidth  = 320;
const int kHeight = 180;

std::string Hex( uint64_t bits )
{
	char text[ 32 ];
	std::snprintf( text, sizeof( text ), "0x%llX", static_cast< unsigned long long >( bits ) );
	return text;
}

bool IsFailure( FFMixed answer )
{
	return answer.UIntValue == FF_FAIL;
}

// When the call was not refused, fails the check with the answer, the call and what the plug-in should
// answer instead, and says so: the check then ends.
bool FailedUnlessRefused( CheckSession& session, const char* check, bool refused, uint64_t answer,
                          const std::string& what, const char* should )
{
	if( !refused )
		session.Fail( check, "answered " + Hex( answer ) + " to " + what + ": " + should );
	return !refused;
}

void NoInput( CheckSession& session, CheckInstance& instance )
{
	session.Begin( "protocol.no_input" );
	if( session.Description().minInputs == 0 )
	{
		session.Pass( "protocol.no_input", "the effect declares that it needs no input (FF_CAP_MINIMUM_INPUT_FRAMES 0)" );
		return;
	}
	const FrameLayout layout = PlainLayout( kWidth, kHeight );
	FrameOutput output;
	ProcessOpenGLStruct none = { 0, nullptr, 0 };
	FFGLTextureStruct* missing[ 1 ] = { nullptr };
	ProcessOpenGLStruct hollow      = { 1, missing, 0 };
	struct Case
	{
		ProcessOpenGLStruct* record;
		const char* what;
	};
	const Case cases[] = { { &none, "a frame with no input texture (numInputTextures 0)" },
		                   { &hollow, "a frame whose input texture pointer is null" } };
	for( const Case& c : cases )
	{
		session.RawFrame( instance, layout, c.record, c.what, &output );
		if( FailedUnlessRefused( session, "protocol.no_input", output.answer == FF_FAIL, output.answer, c.what,
		                         "answer FF_FAIL, so the host knows nothing was drawn" ) )
			return;
	}
	session.Pass( "protocol.no_input", "frames without an input texture are answered FF_FAIL" );
}

void NullRecords( CheckSession& session, CheckInstance& instance )
{
	session.Begin( "protocol.null_records" );
	struct Case
	{
		uint32_t code;
		const char* name;
		bool withInstance;
		bool pointerAnswer;
	};
	const Case cases[] = {
		{ FF_PROCESS_OPENGL, "FF_PROCESS_OPENGL", true, false }, { FF_SET_PARAMETER, "FF_SET_PARAMETER", true, false },
		{ FF_SET_TIME, "FF_SET_TIME", true, false },             { FF_SET_BEATINFO, "FF_SET_BEATINFO", true, false },
		{ FF_GET_RANGE, "FF_GET_RANGE", false, false },          { FF_INSTANTIATE_GL, "FF_INSTANTIATE_GL", false, true },
		{ FF_PROCESS_OPENGL, "FF_PROCESS_OPENGL", false, false }, { FF_DEINSTANTIATE_GL, "FF_DEINSTANTIATE_GL", false, false },
	};
	ProcessOpenGLStruct frame = { 0, nullptr, 0 };
	for( const Case& c : cases )
	{
		// Without an instance the record is a real one: only the instance is missing.
		const bool recordGiven = !c.withInstance && ( c.code == FF_PROCESS_OPENGL || c.code == FF_DEINSTANTIATE_GL );
		const std::string what = std::string( c.name ) + ( recordGiven ? " without an instance" : " with a null record" );
		const FFMixed answer   = session.Call( c.code, MixedPointer( recordGiven ? &frame : nullptr ),
		                                       c.withInstance ? instance.id : nullptr, c.name, what );
		const bool refused = c.pointerAnswer ? !IsValidPointer( answer ) : IsFailure( answer );
		if( !refused && c.pointerAnswer )
		{
			// It made an instance from nothing: end it, or it would outlive the check.
			session.Call( FF_DEINSTANTIATE_GL, MixedNumber( 0 ), answer.PointerValue, "FF_DEINSTANTIATE_GL",
			              "the instance made from a null viewport" );
		}
		if( FailedUnlessRefused( session, "protocol.null_records", refused, answer.bits, what,
		                         "answer FF_FAIL (or the failure pointer) to a call it cannot carry out" ) )
			return;
	}
	session.Pass( "protocol.null_records", "null records and missing instances are refused" );
}

void UnknownCodes( CheckSession& session, CheckInstance& instance )
{
	session.Begin( "protocol.unknown_codes" );
	const uint32_t codes[] = { 1000, 4242, 0x7FFFFFFFu, 0xFFFFFFFFu };
	for( uint32_t code : codes )
		for( void* id : { static_cast< void* >( nullptr ), instance.id } )
		{
			const std::string what = "the unknown code " + std::to_string( code ) + ( id ? " for an instance" : "" );
			const FFMixed answer   = session.Call( code, MixedNumber( 0 ), id, "an unknown code", what );
			if( FailedUnlessRefused( session, "protocol.unknown_codes", IsFailure( answer ), answer.bits, what,
			                         "a host takes any other answer than FF_FAIL as support" ) )
				return;
		}
	session.Pass( "protocol.unknown_codes", "codes the plug-in does not know are answered FF_FAIL" );
}

void BadIndexes( CheckSession& session, CheckInstance& instance )
{
	session.Begin( "protocol.bad_indexes" );
	const uint32_t count     = static_cast< uint32_t >( session.Description().parameters.size() );
	const uint32_t indexes[] = { count, count + 1, 0xFFFFFFFFu };
	std::string warning;
	for( uint32_t index : indexes )
	{
		const std::string which = "parameter " + std::to_string( index ) + " of " + std::to_string( count );
		struct Query
		{
			uint32_t code;
			const char* name;
			void* id;
			bool pointerAnswer;
		};
		const Query queries[] = {
			{ FF_GET_PARAMETER_NAME, "FF_GET_PARAMETER_NAME", nullptr, true },
			{ FF_GET_PARAMETER_TYPE, "FF_GET_PARAMETER_TYPE", nullptr, false },
			{ FF_GET_PARAMETER_DEFAULT, "FF_GET_PARAMETER_DEFAULT", nullptr, false },
			{ FF_GET_PARAMETER, "FF_GET_PARAMETER", instance.id, false },
			{ FF_GET_PARAMETER_DISPLAY, "FF_GET_PARAMETER_DISPLAY", instance.id, true },
		};
		for( const Query& q : queries )
		{
			const FFMixed answer = session.Call( q.code, MixedNumber( index ), q.id, q.name, which );
			if( q.code == FF_GET_PARAMETER && !IsFailure( answer ) )
			{
				// A base class whose GetFloatParameter answers 0.0 for any index does this; hosts never ask.
				if( warning.empty() )
					warning = "answered " + Hex( answer.bits ) + " to FF_GET_PARAMETER for " + which +
					          ", a value a host cannot tell from a real one: FF_FAIL would say that the parameter does not "
					          "exist (a warning: hosts never ask for it, and plug-ins whose float getter answers 0.0 for any "
					          "number do this)";
				continue;
			}
			if( q.pointerAnswer ? IsValidPointer( answer ) : !IsFailure( answer ) )
			{
				session.Fail( "protocol.bad_indexes", "answered " + Hex( answer.bits ) + " to " + q.name + " for " + which +
				                                          ": a parameter that does not exist must be answered FF_FAIL (or null)" );
				return;
			}
		}
		if( session.SetFloat( instance, index, 0.5f ) != FF_FAIL )
		{
			session.Fail( "protocol.bad_indexes",
			              "accepted FF_SET_PARAMETER for " + which + ": a host takes that as a parameter that exists" );
			return;
		}
	}
	if( warning.empty() )
		session.Pass( "protocol.bad_indexes", "parameter numbers past the end are refused" );
	else
		session.Warn( "protocol.bad_indexes", warning );
}
}

void RunProtocolGroup( CheckSession& session )
{
	CheckInstance* first = session.FirstInstance( kWidth, kHeight );
	if( !first )
		return;
	CheckInstance& instance = *first;
	// A frame first, as hosts do: a plug-in may set up on its first frame.
	FrameOutput output;
	session.Frame( instance, PlainLayout( kWidth, kHeight ), 0, output );
	NoInput( session, instance );
	NullRecords( session, instance );
	UnknownCodes( session, instance );
	BadIndexes( session, instance );
	session.Deinstantiate( instance );
}
}
