#pragma once
// Inside the entry point: the handlers plugMain's switch calls, one per function code. Global queries
// (global_queries.cpp) answer from the registration and the prototype; per-instance codes
// (instance_codes.cpp) call the instance's virtual operations.
#include "ffgl/mixed.h"
#include "ffgl/plugin.h"
#include "ffgl/types.h"

inline FFMixed Fail()
{
	return MixedFromUInt( FF_FAIL );
}

// Text and file parameters carry texts; every other type, a missing record's included, a float.
inline bool IsTextType( uint32_t type )
{
	return type == FF_TYPE_TEXT || type == FF_TYPE_FILE;
}

// Shared by both halves.
// The type of the prototype's record n; FF_FAIL with no prototype or no record.
uint32_t PrototypeParameterType( uint32_t id );
// Element n of a record of the owner's table, or null.
ParameterElement* FindElement( CFFGLPlugin* owner, uint32_t id, uint32_t element );
// Copies min(length, maxToWrite) bytes of the group or display-name text, without a terminating zero.
FFMixed CopyParameterText( const GetStringStruct* query, CFFGLPlugin* owner, bool group );

// Global queries: codes 0, 2, 4, 5, 6, 10, 13, 15, 31 to 36, 41 to 45, 47, 48, 50. Those that read a
// record use the instance's table when one is given (31, 35, 36, 45), else the prototype's.
FFMixed GetInfo();
FFMixed Deinitialise();
FFMixed GetNumParameters();
FFMixed GetParameterName( uint32_t id );
FFMixed GetParameterDefault( uint32_t id );
FFMixed GetPluginCaps( uint32_t capability );
FFMixed GetExtendedInfo();
FFMixed GetParameterType( uint32_t id );
FFMixed GetNumParameterElements( CFFGLPlugin* instance, uint32_t id );
FFMixed GetParameterUsage( uint32_t id );
FFMixed GetPluginShortName();
FFMixed GetParameterElementName( CFFGLPlugin* instance, const ParameterElementStruct* query );
FFMixed GetParameterElementValue( CFFGLPlugin* instance, const ParameterElementStruct* query );
FFMixed GetRange( GetRangeStruct* range );
FFMixed GetThumbnail( GetThumbnailStruct* thumbnail );
FFMixed GetNumFileParameterExtensions( uint32_t id );
FFMixed GetFileParameterExtension( const ParameterElementStruct* query );
FFMixed GetParameterVisibility( CFFGLPlugin* instance, uint32_t id );
FFMixed GetNumElementSeparators( uint32_t id );
FFMixed GetSeparatorElementIndex( const ParameterElementStruct* query );
FFMixed GetParameterGroup( const GetStringStruct* query );

// Per-instance codes: 7 to 9, 16 to 23, 37 to 40, 46, 49, 51. All but 18 fail without an instance.
FFMixed GetParameterDisplay( CFFGLPlugin* instance, uint32_t id );
FFMixed SetParameter( CFFGLPlugin* instance, const SetParameterStruct* set );
FFMixed GetParameter( CFFGLPlugin* instance, uint32_t id );
FFMixed GetInputStatus( CFFGLPlugin* instance, uint32_t input );
FFMixed ProcessOpenGL( CFFGLPlugin* instance, ProcessOpenGLStruct* frame );
// A new instance with its defaults pushed, GLEW ready and InitGL done; null on any failure, exceptions
// included, in which case nothing is left behind.
CFFGLPlugin* InstantiateGL( const FFGLViewportStruct* vp );
FFMixed DeinstantiateGL( CFFGLPlugin* instance );
FFMixed SetTime( CFFGLPlugin* instance, const double* time );
// Codes 21 (connect) and 22 (disconnect).
FFMixed ChangeConnection( CFFGLPlugin* instance, bool connect );
FFMixed Resize( CFFGLPlugin* instance, const FFGLViewportStruct* vp );
FFMixed SetParameterElementValue( CFFGLPlugin* instance, const SetParameterElementValueStruct* set );
FFMixed SetBeatInfo( CFFGLPlugin* instance, const SetBeatinfoStruct* beat );
FFMixed SetHostInfo( CFFGLPlugin* instance, const SetHostinfoStruct* host );
FFMixed SetSampleRate( CFFGLPlugin* instance, uint32_t rate );
FFMixed GetParameterEvents( CFFGLPlugin* instance, GetParamEventsStruct* query );
FFMixed EnablePluginCap( CFFGLPlugin* instance, uint32_t capability );
FFMixed GetParameterDisplayName( CFFGLPlugin* instance, const GetStringStruct* query );
