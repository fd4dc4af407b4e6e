// Does not compile: the initialiser is never closed.

float4 Colore : Diffuse = { 1.0, 0.5, 0.25, 1.0 ;

technique Principale
{
    pass Unico
    {
        Lighting = FALSE;
    }
}
