// A technique without passes.

float gTime : Time;

technique Vuota
{
}
