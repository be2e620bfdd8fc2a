// Answers to calls a careful host never makes but a hurried one does: a frame without its input, null
// records, codes the plug-in does not know, parameter and input numbers past the end. None may crash;
// an answer of success fails a check only where a host acts on it (docs/check.md, "Severity").
#include "host/check/groups.h"

namespace ffglhost
{
namespace
{
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

// The first problem of a frame drawn plainly on the instance, as a sentence; empty when none.
std::string NextFrameProblem( CheckSession& session, CheckInstance& instance )
{
	FrameOutput output;
	session.Frame( instance, PlainLayout( kCheckWidth, kCheckHeight ), 1, output );
	return FrameProblem( output, kAnswered | kDrawn );
}

CheckVerdict NoInput( CheckSession& session )
{
	CheckInstance& instance = session.SharedInstance();
	if( session.Description().minInputs == 0 )
		return Pass( "the effect declares that it needs no input (FF_CAP_MINIMUM_INPUT_FRAMES 0)" );
	const FrameLayout layout = PlainLayout( kCheckWidth, kCheckHeight );
	FrameOutput output;
	ProcessOpenGLStruct none        = { 0, nullptr, 0 };
	FFGLTextureStruct* missing[ 1 ] = { nullptr };
	ProcessOpenGLStruct hollow      = { 1, missing, 0 };
	struct Case
	{
		ProcessOpenGLStruct* record;
		const char* what;
	};
	const Case cases[] = { { &none, "a frame with no input texture (numInputTextures 0)" },
		                   { &hollow, "a frame whose input texture pointer is null" } };
	std::string warning;
	for( const Case& c : cases )
	{
		session.RawFrame( instance, layout, c.record, c.what, &output );
		if( output.answer == FF_FAIL )
			continue;
		// Success with the whole viewport drawn gives the host a picture it can show: no harm done.
		if( output.undrawn == 0 )
		{
			if( warning.empty() )
				warning =
				    "answered " + Hex( output.answer ) + " to " + c.what +
				    " and drew the whole viewport: harmless, but FF_FAIL tells the host that the input was missing";
			continue;
		}
		return Fail( "answered " + Hex( output.answer ) + " to " + c.what + " but left " +
		             std::to_string( output.undrawn ) +
		             " pixels undrawn: answer FF_FAIL, so the host knows nothing was drawn" );
	}
	if( warning.empty() )
		return Pass( "frames without an input texture are answered FF_FAIL" );
	return Warn( warning );
}

// What accepting a call without its record costs a host.
enum class NullHarm
{
	kNone,     // a notice or a setting: success is harmless if the plug-in keeps working
	kPicture,  // the host takes success as a frame drawn
	kInstance, // the host takes the answer as an instance: it must work
};

CheckVerdict NullRecords( CheckSession& session )
{
	CheckInstance& instance = session.SharedInstance();
	struct Case
	{
		uint32_t code;
		const char* name;
		bool withInstance;
		NullHarm harm;
		bool pointerAnswer;
	};
	const Case cases[] = {
		{ FF_PROCESS_OPENGL, "FF_PROCESS_OPENGL", true, NullHarm::kPicture, false },
		{ FF_SET_PARAMETER, "FF_SET_PARAMETER", true, NullHarm::kNone, false },
		{ FF_SET_TIME, "FF_SET_TIME", true, NullHarm::kNone, false },
		{ FF_SET_BEATINFO, "FF_SET_BEATINFO", true, NullHarm::kNone, false },
		{ FF_SET_HOSTINFO, "FF_SET_HOSTINFO", true, NullHarm::kNone, false },
		{ FF_RESIZE, "FF_RESIZE", true, NullHarm::kNone, false },
		{ FF_SET_PARAMETER_ELEMENT_VALUE, "FF_SET_PARAMETER_ELEMENT_VALUE", true, NullHarm::kNone, false },
		{ FF_GET_PARAMETER_ELEMENT_NAME, "FF_GET_PARAMETER_ELEMENT_NAME", false, NullHarm::kNone, true },
		{ FF_GET_PARAMETER_ELEMENT_VALUE, "FF_GET_PARAMETER_ELEMENT_VALUE", false, NullHarm::kNone, false },
		{ FF_GET_RANGE, "FF_GET_RANGE", false, NullHarm::kNone, false },
		{ FF_INSTANTIATE_GL, "FF_INSTANTIATE_GL", false, NullHarm::kInstance, true },
		{ FF_PROCESS_OPENGL, "FF_PROCESS_OPENGL", false, NullHarm::kPicture, false },
		{ FF_DEINSTANTIATE_GL, "FF_DEINSTANTIATE_GL", false, NullHarm::kNone, false },
	};
	ProcessOpenGLStruct frame = { 0, nullptr, 0 };
	std::string accepted;
	for( const Case& c : cases )
	{
		// Without an instance the record is a real one: only the instance is missing.
		const bool recordGiven = !c.withInstance && ( c.code == FF_PROCESS_OPENGL || c.code == FF_DEINSTANTIATE_GL );
		const std::string what =
		    std::string( c.name ) + ( recordGiven ? " without an instance" : " with a null record" );
		const FFMixed answer = session.Call( c.code, MixedPointer( recordGiven ? &frame : nullptr ),
		                                     c.withInstance ? instance.id : nullptr, c.name, what );
		if( c.pointerAnswer ? !IsValidPointer( answer ) : IsFailure( answer ) )
			continue;
		const std::string answered = "answered " + Hex( answer.bits ) + " to " + what;
		std::string problem;
		if( c.harm == NullHarm::kPicture )
			problem = "the host takes that as a frame drawn: answer FF_FAIL to a frame it cannot draw";
		else if( c.harm == NullHarm::kInstance )
		{
			// The host holds an instance made from nothing: it must draw like any other, and end.
			LiveInstance made( session, "the instance made from a null viewport" );
			made.Adopt( answer.PointerValue );
			const std::string broken = NextFrameProblem( session, *made );
			if( !broken.empty() )
				problem = "the instance it made then failed its first frame: " + broken;
		}
		else
		{
			const std::string broken = NextFrameProblem( session, instance );
			if( !broken.empty() )
				problem = "the next frame then broke: " + broken;
		}
		if( !problem.empty() )
			return Fail( answered + "; " + problem );
		accepted += ( accepted.empty() ? "" : ", " ) + what;
	}
	if( accepted.empty() )
		return Pass( "null records and missing instances are refused" );
	return Warn( "accepted " + accepted +
	             " and kept drawing: no host is harmed, but FF_FAIL would tell it that nothing was done" );
}

CheckVerdict UnknownCodes( CheckSession& session )
{
	CheckInstance& instance = session.SharedInstance();
	const uint32_t codes[]  = { 1000, 4242, 0x7FFFFFFFu, 0xFFFFFFFFu };
	for( uint32_t code : codes )
		for( void* id : { static_cast< void* >( nullptr ), instance.id } )
		{
			const std::string what = "the unknown code " + std::to_string( code ) + ( id ? " for an instance" : "" );
			const FFMixed answer   = session.Call( code, MixedNumber( 0 ), id, "an unknown code", what );
			if( !IsFailure( answer ) )
				return Fail( "answered " + Hex( answer.bits ) + " to " + what +
				             ": a host takes any other answer than FF_FAIL as support" );
		}
	return Pass( "codes the plug-in does not know are answered FF_FAIL" );
}

// Numbers past the end: every one up to 64 beyond it, then the ends of the byte, the word and the range.
std::vector< uint32_t > NumbersPast( uint32_t count )
{
	std::vector< uint32_t > numbers;
	for( uint32_t n = count; n <= count + 64; ++n )
		numbers.push_back( n );
	for( uint32_t n : { 255u, 0xFFFFu, 0xFFFFFFFFu } )
		if( n > count + 64 )
			numbers.push_back( n );
	return numbers;
}

// The calls that take a parameter number, asked for a number that does not exist. An answer as if it
// existed means the plug-in looked past its table: a host restoring a preset of another version
// does exactly this. Two answers are fixed defaults that read nothing, so they only warn.
struct IndexProbe
{
	uint32_t code;
	const char* name;
	bool needsInstance;
	enum Form
	{
		kNumber,       // the number itself
		kElement,      // a ParameterElementStruct
		kElementValue, // a SetParameterElementValueStruct
		kRange,        // a GetRangeStruct
	} form;
	bool pointerAnswer;
	bool warnOnly;
};

const IndexProbe kIndexProbes[] = {
	{ FF_GET_PARAMETER_NAME, "FF_GET_PARAMETER_NAME", false, IndexProbe::kNumber, true, false },
	{ FF_GET_PARAMETER_TYPE, "FF_GET_PARAMETER_TYPE", false, IndexProbe::kNumber, false, false },
	{ FF_GET_PARAMETER_DEFAULT, "FF_GET_PARAMETER_DEFAULT", false, IndexProbe::kNumber, false, false },
	{ FF_GET_PARAMETER_USAGE, "FF_GET_PARAMETER_USAGE", false, IndexProbe::kNumber, false, false },
	{ FF_GET_NUM_PARAMETER_ELEMENTS, "FF_GET_NUM_PARAMETER_ELEMENTS", false, IndexProbe::kNumber, false, false },
	{ FF_GET_NUM_PARAMETER_ELEMENTS, "FF_GET_NUM_PARAMETER_ELEMENTS", true, IndexProbe::kNumber, false, false },
	{ FF_GET_PARAMETER_ELEMENT_NAME, "FF_GET_PARAMETER_ELEMENT_NAME", false, IndexProbe::kElement, true, false },
	{ FF_GET_PARAMETER_ELEMENT_VALUE, "FF_GET_PARAMETER_ELEMENT_VALUE", false, IndexProbe::kElement, false, false },
	{ FF_SET_PARAMETER_ELEMENT_VALUE, "FF_SET_PARAMETER_ELEMENT_VALUE", true, IndexProbe::kElementValue, false, false },
	{ FF_GET_PARAMETER_DISPLAY, "FF_GET_PARAMETER_DISPLAY", true, IndexProbe::kNumber, true, false },
	// A float getter that answers 0.0 for any number, and a range of 0 to 1 for any number.
	{ FF_GET_PARAMETER, "FF_GET_PARAMETER", true, IndexProbe::kNumber, false, true },
	{ FF_GET_RANGE, "FF_GET_RANGE", false, IndexProbe::kRange, false, true },
};

CheckVerdict BadIndexes( CheckSession& session )
{
	CheckInstance& instance               = session.SharedInstance();
	const uint32_t count                  = static_cast< uint32_t >( session.Description().parameters.size() );
	const std::vector< uint32_t > numbers = NumbersPast( count );
	std::string warning;
	for( uint32_t index : numbers )
	{
		const std::string which = "parameter " + std::to_string( index ) + " of " + std::to_string( count );
		for( const IndexProbe& probe : kIndexProbes )
		{
			ParameterElementStruct element       = { index, 0 };
			SetParameterElementValueStruct value = { index, 0, 0.5f };
			GetRangeStruct range                 = { index, 0.f, 0.f };
			const FFMixed input                  = probe.form == IndexProbe::kElement        ? MixedPointer( &element )
			                                       : probe.form == IndexProbe::kElementValue ? MixedPointer( &value )
			                                       : probe.form == IndexProbe::kRange        ? MixedPointer( &range )
			                                                                                 : MixedNumber( index );
			const FFMixed answer =
			    session.Call( probe.code, input, probe.needsInstance ? instance.id : nullptr, probe.name, which );
			if( probe.pointerAnswer ? !IsValidPointer( answer ) : IsFailure( answer ) )
				continue;
			const std::string answered = "answered " + Hex( answer.bits ) + " to " + probe.name + " for " + which;
			if( !probe.warnOnly )
				return Fail( answered +
				             ": a parameter that does not exist must be answered FF_FAIL (or null); an answer means "
				             "the plug-in looked past its table, as a host restoring a preset of another version "
				             "will make it do" );
			if( warning.empty() )
				warning = answered +
				          ", an answer a host cannot tell from a real one: FF_FAIL would say that the parameter "
				          "does not exist (a warning: it reads nothing past the table, and hosts never ask)";
		}
		if( session.SetFloat( instance, index, 0.5f ) != FF_FAIL )
			return Fail( "accepted FF_SET_PARAMETER for " + which +
			             ": a host restoring a preset of another version takes that as a parameter that exists, and "
			             "the plug-in wrote past its table" );
	}
	const uint32_t inputs = session.Description().maxInputs;
	for( uint32_t input : NumbersPast( inputs ) )
	{
		const std::string which = "input " + std::to_string( input ) + " of " + std::to_string( inputs );
		const FFMixed answer =
		    session.Call( FF_GET_INPUT_STATUS, MixedNumber( input ), instance.id, "FF_GET_INPUT_STATUS", which );
		if( !IsFailure( answer ) )
			return Fail( "answered " + Hex( answer.bits ) + " to FF_GET_INPUT_STATUS for " + which +
			             ": a host takes that input as one it may feed" );
	}
	const std::string broken = NextFrameProblem( session, instance );
	if( !broken.empty() )
		return Fail( "after the numbers past the end, the next frame broke: " + broken );
	const std::string tried = std::to_string( numbers.size() ) + " parameter numbers and " +
	                          std::to_string( NumbersPast( inputs ).size() ) + " input numbers past the end";
	if( warning.empty() )
		return Pass( tried + " refused by every call that takes one" );
	return Warn( warning );
}
}

CheckGroup ProtocolGroup()
{
	return { "protocol",
		     GroupStart::kDrawnInstance,
		     false,
		     { { "protocol.no_input", "frames with no input texture, or a null one", NoInput },
		       { "protocol.null_records", "every call that takes a record, given none; calls without an instance",
		         NullRecords },
		       { "protocol.unknown_codes", "codes no plug-in knows", UnknownCodes },
		       { "protocol.bad_indexes", "every parameter and input number past the end, for every call that takes one",
		         BadIndexes } } };
}
}
