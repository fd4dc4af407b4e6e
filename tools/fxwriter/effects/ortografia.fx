// The correct spellings of the three semantics the game spells its own way.

float4 gEnvironmentNormal : EnvironmentNormal;
float4x4 gJointWorldViewInverseTranspose : JointWorldViewInverseTranspose;
float4x4 gJointWorldViewProjectionInverseTranspose : JointWorldViewProjectionInverseTranspose;

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
