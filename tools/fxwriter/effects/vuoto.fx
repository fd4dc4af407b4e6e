// No parameters at all: only a technique.

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
