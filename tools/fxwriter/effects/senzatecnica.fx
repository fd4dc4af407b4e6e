// A parameter and no technique at all.

float gTime : Time;
