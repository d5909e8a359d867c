#pragma once
// The values and records of the Direct3D 8 layer: result codes, formats,
// pools, usages, lock flags, state names and their values, and the records the
// device and the Direct3D object exchange with their caller. Only what the
// rendering device uses is here; numbers are the ones Direct3D 8 gives them,
// so values written down elsewhere keep their meaning.
#include <cstdint>

#include "compat/win32/win_types.h"

using HRESULT = int32_t;
using D3DCOLOR = DWORD;  // ARGB word: in memory the bytes blue, green, red, alpha

constexpr bool SUCCEEDED(HRESULT result) { return result >= 0; }
constexpr bool FAILED(HRESULT result) { return result < 0; }

// ---- results ----------------------------------------------------------------------------
constexpr HRESULT D3D_OK = 0;
constexpr HRESULT D3DERR_WRONGTEXTUREFORMAT = static_cast<HRESULT>(0x88760818);
constexpr HRESULT D3DERR_DRIVERINTERNALERROR = static_cast<HRESULT>(0x88760827);
constexpr HRESULT D3DERR_NOTFOUND = static_cast<HRESULT>(0x88760866);
constexpr HRESULT D3DERR_MOREDATA = static_cast<HRESULT>(0x88760867);
// The device is lost and cannot be reset yet.
constexpr HRESULT D3DERR_DEVICELOST = static_cast<HRESULT>(0x88760868);
// The device is lost and can be reset now.
constexpr HRESULT D3DERR_DEVICENOTRESET = static_cast<HRESULT>(0x88760869);
constexpr HRESULT D3DERR_NOTAVAILABLE = static_cast<HRESULT>(0x8876086A);
constexpr HRESULT D3DERR_OUTOFVIDEOMEMORY = static_cast<HRESULT>(0x8876017C);
constexpr HRESULT D3DERR_INVALIDDEVICE = static_cast<HRESULT>(0x8876086B);
constexpr HRESULT D3DERR_INVALIDCALL = static_cast<HRESULT>(0x8876086C);
constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000E);

// The version Direct3DCreate8 answers to.
constexpr UINT D3D_SDK_VERSION = 120;

// ---- adapters and devices -------------------------------------------------------------------
constexpr UINT D3DADAPTER_DEFAULT = 0;
using D3DDEVTYPE = DWORD;
constexpr D3DDEVTYPE D3DDEVTYPE_HAL = 1;
constexpr D3DDEVTYPE D3DDEVTYPE_REF = 2;
constexpr D3DDEVTYPE D3DDEVTYPE_SW = 3;

// Behaviour flags of CreateDevice.
constexpr DWORD D3DCREATE_PUREDEVICE = 0x10;
constexpr DWORD D3DCREATE_SOFTWARE_VERTEXPROCESSING = 0x20;
constexpr DWORD D3DCREATE_HARDWARE_VERTEXPROCESSING = 0x40;
constexpr DWORD D3DCREATE_MIXED_VERTEXPROCESSING = 0x80;

// ---- formats, pools, usages ------------------------------------------------------------------
using D3DFORMAT = DWORD;
constexpr D3DFORMAT D3DFMT_UNKNOWN = 0;
constexpr D3DFORMAT D3DFMT_A8R8G8B8 = 21;
constexpr D3DFORMAT D3DFMT_X8R8G8B8 = 22;
constexpr D3DFORMAT D3DFMT_R5G6B5 = 23;
constexpr D3DFORMAT D3DFMT_X1R5G5B5 = 24;
constexpr D3DFORMAT D3DFMT_A1R5G5B5 = 25;
constexpr D3DFORMAT D3DFMT_A4R4G4B4 = 26;
constexpr D3DFORMAT D3DFMT_D32 = 71;
constexpr D3DFORMAT D3DFMT_D24S8 = 75;
constexpr D3DFORMAT D3DFMT_D24X8 = 77;
constexpr D3DFORMAT D3DFMT_D16 = 80;
constexpr D3DFORMAT D3DFMT_VERTEXDATA = 100;
constexpr D3DFORMAT D3DFMT_INDEX16 = 101;
constexpr D3DFORMAT D3DFMT_INDEX32 = 102;

using D3DPOOL = DWORD;
constexpr D3DPOOL D3DPOOL_DEFAULT = 0;  // lost with the device: released before Reset, made anew after
constexpr D3DPOOL D3DPOOL_MANAGED = 1;  // kept in system memory as well: survives Reset
constexpr D3DPOOL D3DPOOL_SYSTEMMEM = 2;

constexpr DWORD D3DUSAGE_RENDERTARGET = 0x1;
constexpr DWORD D3DUSAGE_DEPTHSTENCIL = 0x2;
constexpr DWORD D3DUSAGE_WRITEONLY = 0x8;
constexpr DWORD D3DUSAGE_DYNAMIC = 0x200;

using D3DMULTISAMPLE_TYPE = DWORD;
constexpr D3DMULTISAMPLE_TYPE D3DMULTISAMPLE_NONE = 0;

// ---- locks ------------------------------------------------------------------------------------
constexpr DWORD D3DLOCK_READONLY = 0x10;
constexpr DWORD D3DLOCK_NOSYSLOCK = 0x800;
// The caller overwrites nothing a draw may still read: earlier data stays.
constexpr DWORD D3DLOCK_NOOVERWRITE = 0x1000;
// The caller rewrites what it uses: the earlier contents are gone.
constexpr DWORD D3DLOCK_DISCARD = 0x2000;

// ---- presentation -------------------------------------------------------------------------------
using D3DSWAPEFFECT = DWORD;
constexpr D3DSWAPEFFECT D3DSWAPEFFECT_DISCARD = 1;
constexpr D3DSWAPEFFECT D3DSWAPEFFECT_FLIP = 2;
constexpr D3DSWAPEFFECT D3DSWAPEFFECT_COPY = 3;
constexpr UINT D3DPRESENT_INTERVAL_DEFAULT = 0;
constexpr UINT D3DPRESENT_INTERVAL_ONE = 1;
constexpr UINT D3DPRESENT_INTERVAL_IMMEDIATE = 0x80000000;
constexpr DWORD D3DPRESENTFLAG_LOCKABLE_BACKBUFFER = 0x1;
using D3DBACKBUFFER_TYPE = DWORD;
constexpr D3DBACKBUFFER_TYPE D3DBACKBUFFER_TYPE_MONO = 0;

// ---- clears -------------------------------------------------------------------------------------
constexpr DWORD D3DCLEAR_TARGET = 0x1;
constexpr DWORD D3DCLEAR_ZBUFFER = 0x2;
constexpr DWORD D3DCLEAR_STENCIL = 0x4;

// ---- transforms -----------------------------------------------------------------------------------
using D3DTRANSFORMSTATETYPE = DWORD;
constexpr D3DTRANSFORMSTATETYPE D3DTS_VIEW = 2;
constexpr D3DTRANSFORMSTATETYPE D3DTS_PROJECTION = 3;
constexpr D3DTRANSFORMSTATETYPE D3DTS_TEXTURE0 = 16;  // stages 0-7: 16-23
constexpr D3DTRANSFORMSTATETYPE D3DTS_WORLD = 256;

// ---- render states (name = value) ------------------------------------------------------------------
using D3DRENDERSTATETYPE = DWORD;
constexpr D3DRENDERSTATETYPE D3DRS_ZENABLE = 7;
constexpr D3DRENDERSTATETYPE D3DRS_FILLMODE = 8;
constexpr D3DRENDERSTATETYPE D3DRS_SHADEMODE = 9;
constexpr D3DRENDERSTATETYPE D3DRS_ZWRITEENABLE = 14;
constexpr D3DRENDERSTATETYPE D3DRS_ALPHATESTENABLE = 15;
constexpr D3DRENDERSTATETYPE D3DRS_LASTPIXEL = 16;
constexpr D3DRENDERSTATETYPE D3DRS_SRCBLEND = 19;
constexpr D3DRENDERSTATETYPE D3DRS_DESTBLEND = 20;
constexpr D3DRENDERSTATETYPE D3DRS_CULLMODE = 22;
constexpr D3DRENDERSTATETYPE D3DRS_ZFUNC = 23;
constexpr D3DRENDERSTATETYPE D3DRS_ALPHAREF = 24;
constexpr D3DRENDERSTATETYPE D3DRS_ALPHAFUNC = 25;
constexpr D3DRENDERSTATETYPE D3DRS_DITHERENABLE = 26;
constexpr D3DRENDERSTATETYPE D3DRS_ALPHABLENDENABLE = 27;
constexpr D3DRENDERSTATETYPE D3DRS_FOGENABLE = 28;
constexpr D3DRENDERSTATETYPE D3DRS_SPECULARENABLE = 29;
constexpr D3DRENDERSTATETYPE D3DRS_STENCILENABLE = 52;
constexpr D3DRENDERSTATETYPE D3DRS_TEXTUREFACTOR = 60;
constexpr D3DRENDERSTATETYPE D3DRS_CLIPPING = 136;
constexpr D3DRENDERSTATETYPE D3DRS_LIGHTING = 137;
constexpr D3DRENDERSTATETYPE D3DRS_AMBIENT = 139;
constexpr D3DRENDERSTATETYPE D3DRS_COLORVERTEX = 141;
constexpr D3DRENDERSTATETYPE D3DRS_LOCALVIEWER = 142;
constexpr D3DRENDERSTATETYPE D3DRS_NORMALIZENORMALS = 143;
constexpr D3DRENDERSTATETYPE D3DRS_DIFFUSEMATERIALSOURCE = 145;
constexpr D3DRENDERSTATETYPE D3DRS_SPECULARMATERIALSOURCE = 146;
constexpr D3DRENDERSTATETYPE D3DRS_AMBIENTMATERIALSOURCE = 147;
constexpr D3DRENDERSTATETYPE D3DRS_EMISSIVEMATERIALSOURCE = 148;
constexpr D3DRENDERSTATETYPE D3DRS_CLIPPLANEENABLE = 152;
constexpr D3DRENDERSTATETYPE D3DRS_COLORWRITEENABLE = 168;
constexpr D3DRENDERSTATETYPE D3DRS_BLENDOP = 171;
// One past the highest render-state name.
constexpr D3DRENDERSTATETYPE D3DRS_COUNT = 175;

// Values of render states.
constexpr DWORD D3DZB_FALSE = 0;
constexpr DWORD D3DZB_TRUE = 1;
constexpr DWORD D3DFILL_POINT = 1;
constexpr DWORD D3DFILL_WIREFRAME = 2;
constexpr DWORD D3DFILL_SOLID = 3;
constexpr DWORD D3DSHADE_FLAT = 1;
constexpr DWORD D3DSHADE_GOURAUD = 2;
constexpr DWORD D3DBLEND_ZERO = 1;
constexpr DWORD D3DBLEND_ONE = 2;
constexpr DWORD D3DBLEND_SRCCOLOR = 3;
constexpr DWORD D3DBLEND_INVSRCCOLOR = 4;
constexpr DWORD D3DBLEND_SRCALPHA = 5;
constexpr DWORD D3DBLEND_INVSRCALPHA = 6;
constexpr DWORD D3DBLEND_DESTALPHA = 7;
constexpr DWORD D3DBLEND_INVDESTALPHA = 8;
constexpr DWORD D3DBLEND_DESTCOLOR = 9;
constexpr DWORD D3DBLEND_INVDESTCOLOR = 10;
constexpr DWORD D3DBLEND_SRCALPHASAT = 11;
constexpr DWORD D3DBLENDOP_ADD = 1;
constexpr DWORD D3DBLENDOP_SUBTRACT = 2;
constexpr DWORD D3DBLENDOP_REVSUBTRACT = 3;
constexpr DWORD D3DBLENDOP_MIN = 4;
constexpr DWORD D3DBLENDOP_MAX = 5;
// Culling by the winding the viewer sees on screen.
constexpr DWORD D3DCULL_NONE = 1;
constexpr DWORD D3DCULL_CW = 2;
constexpr DWORD D3DCULL_CCW = 3;
constexpr DWORD D3DCMP_NEVER = 1;
constexpr DWORD D3DCMP_LESS = 2;
constexpr DWORD D3DCMP_EQUAL = 3;
constexpr DWORD D3DCMP_LESSEQUAL = 4;
constexpr DWORD D3DCMP_GREATER = 5;
constexpr DWORD D3DCMP_NOTEQUAL = 6;
constexpr DWORD D3DCMP_GREATEREQUAL = 7;
constexpr DWORD D3DCMP_ALWAYS = 8;
// Where lighting takes a material colour from.
constexpr DWORD D3DMCS_MATERIAL = 0;
constexpr DWORD D3DMCS_COLOR1 = 1;
constexpr DWORD D3DMCS_COLOR2 = 2;
constexpr DWORD D3DCOLORWRITEENABLE_RED = 0x1;
constexpr DWORD D3DCOLORWRITEENABLE_GREEN = 0x2;
constexpr DWORD D3DCOLORWRITEENABLE_BLUE = 0x4;
constexpr DWORD D3DCOLORWRITEENABLE_ALPHA = 0x8;

// ---- texture stages ---------------------------------------------------------------------------------
using D3DTEXTURESTAGESTATETYPE = DWORD;
constexpr D3DTEXTURESTAGESTATETYPE D3DTSS_COLOROP = 1;
constexpr D3DTEXTURESTAGESTATETYPE D3DTSS_COLORARG1 = 2;
constexpr D3DTEXTURESTAGESTATETYPE D3DTSS_COLORARG2 = 3;
constexpr D3DTEXTURESTAGESTATETYPE D3DTSS_ALPHAOP = 4;
constexpr D3DTEXTURESTAGESTATETYPE D3DTSS_ALPHAARG1 = 5;
constexpr D3DTEXTURESTAGESTATETYPE D3DTSS_ALPHAARG2 = 6;
constexpr D3DTEXTURESTAGESTATETYPE D3DTSS_TEXCOORDINDEX = 11;
constexpr D3DTEXTURESTAGESTATETYPE D3DTSS_ADDRESSU = 13;
constexpr D3DTEXTURESTAGESTATETYPE D3DTSS_ADDRESSV = 14;
constexpr D3DTEXTURESTAGESTATETYPE D3DTSS_MAGFILTER = 16;
constexpr D3DTEXTURESTAGESTATETYPE D3DTSS_MINFILTER = 17;
constexpr D3DTEXTURESTAGESTATETYPE D3DTSS_MIPFILTER = 18;
constexpr D3DTEXTURESTAGESTATETYPE D3DTSS_TEXTURETRANSFORMFLAGS = 24;
// One past the highest texture-stage state name.
constexpr D3DTEXTURESTAGESTATETYPE D3DTSS_COUNT = 29;
// Stages the layer offers.
constexpr DWORD D3D8_TEXTURE_STAGES = 4;

// Operations of a stage.
constexpr DWORD D3DTOP_DISABLE = 1;
constexpr DWORD D3DTOP_SELECTARG1 = 2;
constexpr DWORD D3DTOP_SELECTARG2 = 3;
constexpr DWORD D3DTOP_MODULATE = 4;
constexpr DWORD D3DTOP_MODULATE2X = 5;
constexpr DWORD D3DTOP_MODULATE4X = 6;
constexpr DWORD D3DTOP_ADD = 7;
// Arguments of a stage.
constexpr DWORD D3DTA_DIFFUSE = 0;
constexpr DWORD D3DTA_CURRENT = 1;
constexpr DWORD D3DTA_TEXTURE = 2;
constexpr DWORD D3DTA_TFACTOR = 3;
constexpr DWORD D3DTA_SELECTMASK = 0x0F;
constexpr DWORD D3DTA_COMPLEMENT = 0x10;      // 1 - the argument
constexpr DWORD D3DTA_ALPHAREPLICATE = 0x20;  // the argument's alpha in every channel
// Texture filters.
constexpr DWORD D3DTEXF_NONE = 0;
constexpr DWORD D3DTEXF_POINT = 1;
constexpr DWORD D3DTEXF_LINEAR = 2;
constexpr DWORD D3DTEXF_ANISOTROPIC = 3;
// Texture addressing.
constexpr DWORD D3DTADDRESS_WRAP = 1;
constexpr DWORD D3DTADDRESS_MIRROR = 2;
constexpr DWORD D3DTADDRESS_CLAMP = 3;
constexpr DWORD D3DTADDRESS_BORDER = 4;
// Texture-coordinate transform: off, or two coordinates out.
constexpr DWORD D3DTTFF_DISABLE = 0;
constexpr DWORD D3DTTFF_COUNT2 = 2;

// ---- vertices and primitives ---------------------------------------------------------------------------
// Flexible vertex format bits: the components a vertex holds, in this order.
constexpr DWORD D3DFVF_XYZ = 0x002;
constexpr DWORD D3DFVF_NORMAL = 0x010;
constexpr DWORD D3DFVF_DIFFUSE = 0x040;
constexpr DWORD D3DFVF_SPECULAR = 0x080;
constexpr DWORD D3DFVF_TEX1 = 0x100;

using D3DPRIMITIVETYPE = DWORD;
constexpr D3DPRIMITIVETYPE D3DPT_POINTLIST = 1;
constexpr D3DPRIMITIVETYPE D3DPT_LINELIST = 2;
constexpr D3DPRIMITIVETYPE D3DPT_LINESTRIP = 3;
constexpr D3DPRIMITIVETYPE D3DPT_TRIANGLELIST = 4;
constexpr D3DPRIMITIVETYPE D3DPT_TRIANGLESTRIP = 5;
constexpr D3DPRIMITIVETYPE D3DPT_TRIANGLEFAN = 6;

// ---- lights -----------------------------------------------------------------------------------------------
using D3DLIGHTTYPE = DWORD;
constexpr D3DLIGHTTYPE D3DLIGHT_POINT = 1;
constexpr D3DLIGHTTYPE D3DLIGHT_SPOT = 2;
constexpr D3DLIGHTTYPE D3DLIGHT_DIRECTIONAL = 3;

// ---- capabilities ---------------------------------------------------------------------------------------------
constexpr DWORD D3DDEVCAPS_EXECUTESYSTEMMEMORY = 0x10;
constexpr DWORD D3DDEVCAPS_TLVERTEXSYSTEMMEMORY = 0x40;
constexpr DWORD D3DDEVCAPS_TEXTUREVIDEOMEMORY = 0x200;
constexpr DWORD D3DDEVCAPS_DRAWPRIMTLVERTEX = 0x400;
constexpr DWORD D3DDEVCAPS_CANRENDERAFTERFLIP = 0x800;
constexpr DWORD D3DDEVCAPS_DRAWPRIMITIVES2EX = 0x8000;
constexpr DWORD D3DDEVCAPS_HWTRANSFORMANDLIGHT = 0x10000;
constexpr DWORD D3DDEVCAPS_HWRASTERIZATION = 0x80000;
constexpr DWORD D3DDEVCAPS_PUREDEVICE = 0x100000;
constexpr DWORD D3DLINECAPS_TEXTURE = 0x1;
constexpr DWORD D3DLINECAPS_ZTEST = 0x2;
constexpr DWORD D3DLINECAPS_BLEND = 0x4;
constexpr DWORD D3DLINECAPS_ALPHACMP = 0x8;
constexpr DWORD D3DPTEXTURECAPS_PERSPECTIVE = 0x1;
constexpr DWORD D3DPTEXTURECAPS_ALPHA = 0x4;
constexpr DWORD D3DPTEXTURECAPS_MIPMAP = 0x4000;
constexpr DWORD D3DFVFCAPS_DONOTSTRIPELEMENTS = 0x80000;

// Shader version words: 0xFFFE0000 | major << 8 | minor for vertex shaders,
// 0xFFFF0000 | major << 8 | minor for pixel shaders.
constexpr DWORD D3DVS_VERSION(DWORD major, DWORD minor) { return 0xFFFE0000u | (major << 8) | minor; }
constexpr DWORD D3DPS_VERSION(DWORD major, DWORD minor) { return 0xFFFF0000u | (major << 8) | minor; }
constexpr DWORD D3DSHADER_VERSION_MAJOR(DWORD version) { return (version >> 8) & 0xFF; }
constexpr DWORD D3DSHADER_VERSION_MINOR(DWORD version) { return version & 0xFF; }

// ---- records ---------------------------------------------------------------------------------------------------
struct D3DVECTOR {
  float x = 0, y = 0, z = 0;
};

struct D3DCOLORVALUE {
  float r = 0, g = 0, b = 0, a = 0;
};

// Row-major, used with row vectors (v' = v x M): translation in row 3.
struct D3DMATRIX {
  float m[4][4] = {};
};

struct D3DRECT {
  LONG x1 = 0, y1 = 0, x2 = 0, y2 = 0;
};

// Pixels X..X+Width, Y..Y+Height of the render target (Y from the top) and
// the depth range MinZ..MaxZ.
struct D3DVIEWPORT8 {
  DWORD X = 0, Y = 0, Width = 0, Height = 0;
  float MinZ = 0, MaxZ = 1;
};

struct D3DMATERIAL8 {
  D3DCOLORVALUE Diffuse;
  D3DCOLORVALUE Ambient;
  D3DCOLORVALUE Specular;
  D3DCOLORVALUE Emissive;
  float Power = 0;
};

struct D3DLIGHT8 {
  D3DLIGHTTYPE Type = D3DLIGHT_DIRECTIONAL;
  D3DCOLORVALUE Diffuse;
  D3DCOLORVALUE Specular;
  D3DCOLORVALUE Ambient;
  D3DVECTOR Position;
  D3DVECTOR Direction;  // where the light travels (directional and spot lights)
  float Range = 0;
  float Falloff = 0;
  float Attenuation0 = 0, Attenuation1 = 0, Attenuation2 = 0;
  float Theta = 0, Phi = 0;
};

struct D3DDISPLAYMODE {
  UINT Width = 0;
  UINT Height = 0;
  UINT RefreshRate = 0;
  D3DFORMAT Format = D3DFMT_UNKNOWN;
};

// What Reset and CreateDevice make the device: its back buffer, the window it
// shows in, windowed or full screen, and the depth buffer made with it.
struct D3DPRESENT_PARAMETERS {
  UINT BackBufferWidth = 0;  // 0 while windowed: the window's client size
  UINT BackBufferHeight = 0;
  D3DFORMAT BackBufferFormat = D3DFMT_UNKNOWN;
  UINT BackBufferCount = 0;
  D3DMULTISAMPLE_TYPE MultiSampleType = D3DMULTISAMPLE_NONE;
  D3DSWAPEFFECT SwapEffect = 0;
  HWND hDeviceWindow = nullptr;
  BOOL Windowed = FALSE;
  BOOL EnableAutoDepthStencil = FALSE;
  D3DFORMAT AutoDepthStencilFormat = D3DFMT_UNKNOWN;
  DWORD Flags = 0;
  UINT FullScreen_RefreshRateInHz = 0;
  UINT FullScreen_PresentationInterval = 0;
};

// Rows top-down: pBits is the first byte of the top row, Pitch the bytes from
// one row to the next (at least the row's width in bytes).
struct D3DLOCKED_RECT {
  int32_t Pitch = 0;
  void* pBits = nullptr;
};

struct D3DSURFACE_DESC {
  D3DFORMAT Format = D3DFMT_UNKNOWN;
  DWORD Usage = 0;
  D3DPOOL Pool = D3DPOOL_DEFAULT;
  UINT Size = 0;
  UINT Width = 0;
  UINT Height = 0;
};

struct D3DVERTEXBUFFER_DESC {
  D3DFORMAT Format = D3DFMT_VERTEXDATA;
  DWORD Usage = 0;
  D3DPOOL Pool = D3DPOOL_DEFAULT;
  UINT Size = 0;  // bytes
  DWORD FVF = 0;
};

struct D3DINDEXBUFFER_DESC {
  D3DFORMAT Format = D3DFMT_INDEX16;
  DWORD Usage = 0;
  D3DPOOL Pool = D3DPOOL_DEFAULT;
  UINT Size = 0;  // bytes
};

// What an adapter's device can do, as far as the rendering device asks.
struct D3DCAPS8 {
  D3DDEVTYPE DeviceType = D3DDEVTYPE_HAL;
  UINT AdapterOrdinal = 0;
  DWORD DevCaps = 0;
  DWORD LineCaps = 0;
  DWORD TextureCaps = 0;
  DWORD StencilCaps = 0;
  DWORD FVFCaps = 0;
  DWORD MaxTextureWidth = 0;
  DWORD MaxTextureHeight = 0;
  DWORD MaxTextureRepeat = 0;
  float MaxVertexW = 0;
  DWORD MaxTextureBlendStages = 0;
  DWORD MaxSimultaneousTextures = 0;
  DWORD MaxActiveLights = 0;
  DWORD MaxPrimitiveCount = 0;
  DWORD MaxVertexIndex = 0;
  DWORD MaxStreams = 0;
  DWORD MaxStreamStride = 0;
  DWORD VertexShaderVersion = 0;
  DWORD MaxVertexShaderConst = 0;
  DWORD PixelShaderVersion = 0;
  float MaxPixelShaderValue = 0;
};
