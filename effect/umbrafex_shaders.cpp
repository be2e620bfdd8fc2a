#include "effect/umbrafex_shaders.h"

// The two sources are the product's texts, kept line for line as written.
// clang-format off
// The input passes through, scaled to its picture area; the matte spans the whole quad.
const char* const kUmbrafexVertexSource =
	"#version 410 core\n"
	"uniform vec2 MaxUV;\n"
	"\n"
	"layout( location = 0 ) in vec4 vPosition;\n"
	"layout( location = 1 ) in vec2 vUV;\n"
	"\n"
	"out vec2 uv;\n"
	"out vec2 uvRaw;\n"
	"\n"
	"void main()\n"
	"{\n"
	"\tgl_Position = vPosition;\n"
	"\tuv    = vUV * MaxUV;\n"
	"\tuvRaw = vUV;\n"
	"}\n";

// Pass-through, matte in grey, or the input multiplied by the hardened matte (premultiplied).
const char* const kUmbrafexFragmentSource =
	"#version 410 core\n"
	"uniform sampler2D InputTexture;\n"
	"uniform sampler2D MaskTexture;\n"
	"uniform float ShowMask;\n"
	"uniform float EdgeHard;\n"
	"uniform float Bypass; // 1 = passthrough (runtime NVIDIA indisponible ou masque pas encore pret)\n"
	"\n"
	"in vec2 uv;\n"
	"in vec2 uvRaw;\n"
	"\n"
	"out vec4 fragColor;\n"
	"\n"
	"void main()\n"
	"{\n"
	"\tvec4 color = texture( InputTexture, uv );\n"
	"\tif( Bypass > 0.5 )\n"
	"\t{\n"
	"\t\tfragColor = color;\n"
	"\t\treturn;\n"
	"\t}\n"
	"\t// Le masque couvre exactement la zone utile, origine en haut : V inverse.\n"
	"\tfloat mask = texture( MaskTexture, vec2( uvRaw.x, 1.0 - uvRaw.y ) ).r;\n"
	"\t// Durcissement du bord : recentre la transition autour de 0.5 et coupe le bruit\n"
	"\t// de faible amplitude (valeurs proches de 0 ou 1 inchangees).\n"
	"\tfloat soft = mix( 0.5, 0.04, EdgeHard );\n"
	"\tmask = smoothstep( 0.5 - soft, 0.5 + soft, mask );\n"
	"\tif( ShowMask > 0.5 )\n"
	"\t{\n"
	"\t\tfragColor = vec4( mask, mask, mask, 1.0 );\n"
	"\t\treturn;\n"
	"\t}\n"
	"\t// Couleurs premultipliees : multiplier rgb ET alpha par le masque suffit.\n"
	"\tfragColor = color * mask;\n"
	"}\n";
// clang-format on
