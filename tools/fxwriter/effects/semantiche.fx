// A parameter for every semantic the game binds by, spelled as the game spells them:
// matrices where the game sets matrices, a float for the time, a vector for the rest.

float4 gAmbient : Ambient;
float4 gAttenuation : Attenuation;
float4 gBoundingBoxMax : BoundingBoxMax;
float4 gBoundingBoxMin : BoundingBoxMin;
float4 gBoundingBoxSize : BoundingBoxSize;
float4 gBoundingCenter : BoundingCenter;
float4 gBoundingSphereSize : BoundingSphereSize;
float4 gBoundingSphereMin : BoundingSphereMin;
float4 gBoundingSphereMax : BoundingSphereMax;
float4 gDiffuse : Diffuse;
float4 gElapsedTime : ElapsedTime;
float4 gEmissive : Emissive;
float4 gEnviromentNormal : EnviromentNormal;
float4 gHeight : Height;
float4 gJoint : Joint;
float4 gJointWorld : JointWorld;
float4 gJointWorldInverse : JointWorldInverse;
float4 gJointWorldInverseTranspose : JointWorldInverseTranspose;
float4 gJointWorldView : JointWorldView;
float4 gJointWorldViewInverse : JointWorldViewInverse;
float4 gJointWolrdViewInverseTranspose : JointWolrdViewInverseTranspose;
float4 gJointWorldViewProjection : JointWorldViewProjection;
float4 gJointWorldViewProjectionInverse : JointWorldViewProjectionInverse;
float4 gJointWorldViewProjectionTranspose : JointWorldViewProjectionTranspose;
float4 gLastTime : LastTime;
float4 gNormal : Normal;
float4 gOpacity : Opacity;
float4 gPosition : Position;
float4x4 gProjection : Projection;
float4x4 gProjectionInverse : ProjectionInverse;
float4x4 gProjectionInverseTranspose : ProjectionInverseTranspose;
float4 gRandom : Random;
float4 gRefraction : Refraction;
float4 gRenderColorTarget : RenderColorTarget;
float4 gRenderDepthStencilTarget : RenderDepthStencilTarget;
float4 gRenderTargetClipping : RenderTargetClipping;
float4 gRenderTargetDimension : RenderTargetDimension;
float4 gSpecular : Specular;
float4 gSpecularPower : SpecularPower;
float4 gStandardGlobal : StandardGlobal;
float4 gTextureMatrix : TextureMatrix;
float gTime : Time;
float4 gUnitsScale : UnitsScale;
float4x4 gView : View;
float4x4 gViewInverse : ViewInverse;
float4x4 gViewInverseTranspose : ViewInverseTranspose;
float4x4 gViewProjection : ViewProjection;
float4x4 gViewProjectionInverse : ViewProjectionInverse;
float4x4 gViewProjectionInverseTranspose : ViewProjectionInverseTranspose;
float4x4 gWorld : World;
float4x4 gWorldInverse : WorldInverse;
float4x4 gWorldInverseTranspose : WorldInverseTranspose;
float4x4 gWorldView : WorldView;
float4x4 gWorldViewInverse : WorldViewInverse;
float4x4 gWorldViewInverseTranspose : WorldViewInverseTranspose;
float4x4 gWorldViewProjection : WorldViewProjection;
float4x4 gWorldViewProjectionInverse : WorldViewProjectionInverse;
float4x4 gWorldViewProjectionInverseTranspose : WorldViewProjectionInverseTranspose;

technique Principale
{
    pass Unico
    {
        Lighting = FALSE;
        CullMode = NONE;
        ZEnable = FALSE;
        AlphaBlendEnable = FALSE;
        TextureFactor = 0xFFFFFFFF;
        ColorOp[0] = SelectArg1;
        ColorArg1[0] = TFactor;
        AlphaOp[0] = SelectArg1;
        AlphaArg1[0] = TFactor;
    }
}
