// Two passes: red first, then blue added on top, so a pixel shows both only when both passes drew.

float4x4 gWorldViewProjection : WorldViewProjection;

technique DuePassi
{
    pass Rosso
    {
        Lighting = FALSE;
        CullMode = NONE;
        ZEnable = FALSE;
        AlphaBlendEnable = FALSE;
        TextureFactor = 0xFF800000;
        ColorOp[0] = SelectArg1;
        ColorArg1[0] = TFactor;
        AlphaOp[0] = SelectArg1;
        AlphaArg1[0] = TFactor;
    }
    pass Blu
    {
        Lighting = FALSE;
        CullMode = NONE;
        ZEnable = FALSE;
        AlphaBlendEnable = TRUE;
        TextureFactor = 0xFF0000C0;
        ColorOp[0] = SelectArg1;
        ColorArg1[0] = TFactor;
        AlphaOp[0] = SelectArg1;
        AlphaArg1[0] = TFactor;
        SrcBlend = One;
        DestBlend = One;
    }
}
