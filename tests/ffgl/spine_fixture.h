#pragma once
// White-box fixtures: plugMain and the core linked into the test, the test plug-in registered.
// Every test starts with no prototype, a fresh test plug-in record and no log callback.
#include "ffgl/entry.h"
#include "ffgl/instances.h"
#include "ffgl/log.h"
#include "ffgl/registration.h"
#include "tests/ffgl/test_plugin.h"
#include "tests/ffgl/spine_calls.h"
#include "tests/support/gl_test.h"

#include <gtest/gtest.h>

struct SpineCalls
{
	static FFMixed Call( uint32_t code, uint32_t number = 0, void* instance = nullptr )
	{
		return plugMain( code, HostNumber( number ), instance );
	}
	static FFMixed CallWith( uint32_t code, const void* record, void* instance = nullptr )
	{
		return plugMain( code, MixedFromPointer( record ), instance );
	}
	// An instance as the factory makes it, with self set but no GL; code 19 or delete ends it.
	static TestPlugin* MakeInstance()
	{
		CFFGLPlugin* instance = nullptr;
		CreatePluginInstance< TestPlugin >( &instance );
		instance->self = instance;
		return static_cast< TestPlugin* >( instance );
	}
	static void ResetSpine()
	{
		plugMain( FF_DEINITIALISE, MixedFromUInt( 0 ), nullptr );
		SetLogCallback( nullptr );
		ResetTestPlugin();
	}
};

class SpineTest : public ::testing::Test, public SpineCalls
{
protected:
	void SetUp() override { ResetSpine(); }
	void TearDown() override { ResetSpine(); }
};

class SpineGLTest : public GLTest, public SpineCalls
{
protected:
	void SetUp() override
	{
		GLTest::SetUp();
		ResetSpine();
	}
	void TearDown() override { ResetSpine(); }

	// Code 18 as a host sends it; null when it answers the failure pointer.
	TestPlugin* Instantiate( FFGLViewportStruct vp = { 0, 0, 64, 48 } )
	{
		FFMixed result = CallWith( FF_INSTANTIATE_GL, &vp );
		lastInstantiation = Bits( result );
		return lastInstantiation == kFailPointer ? nullptr : static_cast< TestPlugin* >( result.PointerValue );
	}
	uint64_t lastInstantiation = 0;
};
