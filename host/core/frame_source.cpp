#include "host/core/frame_source.h"

#include "host/core/png_io.h"
#include "host/core/scene_presenter.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

namespace ffglhost
{
void FrameSource::OpenScene( int w, int h )
{
	kind        = Kind::kScene;
	firstWidth  = w;
	firstHeight = h;
	loadedIndex = -1;
}

bool FrameSource::OpenPhoto( const std::string& path, int w, int h, unsigned long long seed, bool still,
                             std::string* error )
{
	kind = Kind::kNone;
	if( !photo.Open( path, error ) )
		return false;
	OpenScene( w, h );
	kind       = Kind::kPhoto;
	photoSeed  = seed;
	photoStill = still;
	return true;
}

bool FrameSource::OpenFirst( const std::string& path, Kind opened, std::string* error )
{
	if( !ReadPng( path, picture, error ) )
		return false;
	Premultiply( picture );
	kind        = opened;
	firstWidth  = picture.width;
	firstHeight = picture.height;
	loadedIndex = 0;
	return true;
}

bool FrameSource::OpenFile( const std::string& path, std::string* error )
{
	kind = Kind::kNone;
	return OpenFirst( path, Kind::kFile, error );
}

static bool HasPngExtension( const std::filesystem::path& path )
{
	std::string extension = path.extension().string();
	std::transform( extension.begin(), extension.end(), extension.begin(),
	                []( unsigned char c ) { return static_cast< char >( std::tolower( c ) ); } );
	return extension == ".png";
}

bool FrameSource::OpenDirectory( const std::string& path, std::string* error )
{
	kind = Kind::kNone;
	files.clear();
	std::error_code ec;
	for( std::filesystem::directory_iterator it( path, ec ), end; !ec && it != end; it.increment( ec ) )
	{
		std::error_code typeError;
		if( it->is_regular_file( typeError ) && HasPngExtension( it->path() ) )
			files.push_back( it->path().string() );
	}
	if( ec )
	{
		*error = "cannot read the folder " + path + ": " + ec.message();
		return false;
	}
	if( files.empty() )
	{
		*error = "no PNG files in " + path;
		return false;
	}
	std::sort( files.begin(), files.end() );
	return OpenFirst( files[ 0 ], Kind::kDirectory, error );
}

int FrameSource::NaturalFrameCount() const
{
	return kind == Kind::kDirectory ? static_cast< int >( files.size() ) : 60;
}

const Picture* FrameSource::Frame( int index, std::string* error )
{
	switch( kind )
	{
	case Kind::kScene:
		RenderPresenter( index, firstWidth, firstHeight, picture );
		return &picture;
	case Kind::kPhoto:
		photo.Render( index, firstWidth, firstHeight, photoSeed, photoStill, picture );
		return &picture;
	case Kind::kFile:
		return &picture;
	case Kind::kDirectory:
	{
		const int file = index % static_cast< int >( files.size() );
		if( file != loadedIndex )
		{
			loadedIndex = -1;
			if( !ReadPng( files[ static_cast< size_t >( file ) ], picture, error ) )
				return nullptr;
			Premultiply( picture );
			loadedIndex = file;
		}
		return &picture;
	}
	case Kind::kNone:
		break;
	}
	*error = "no input opened";
	return nullptr;
}
}
