// Every kind of texture parameter, named by "ResourceName" below the game's texture folder; two
// of the files do not exist. The cube texture and the parameters without a file name are not loaded.

texture Mancante < string ResourceName = "mancante.png"; >;
texture Marmo < string ResourceName = "marmo.png"; >;
texture3D RumoreMancante < string ResourceName = "mancante.dds"; >;
texture3D Rumore < string ResourceName = "rumore.dds"; >;
texture2D Marmo2D < string ResourceName = "marmo.png"; >;
texture1D Marmo1D < string ResourceName = "marmo.png"; >;
textureCUBE Cielo < string ResourceName = "marmo.png"; >;
texture2D SenzaNome;
float4 Colore : Diffuse = { 1.0, 0.5, 0.25, 1.0 };

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
