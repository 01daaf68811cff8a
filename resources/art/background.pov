// Background of the main window: three translucent pale green dice on a white table,
// photographed from above. The window's controls cover most of the picture, so the dice
// sit where the gaps between them are: the d20 at the top right, the d10 at the left of
// the middle, the d4 at the bottom right.
//
// generate.sh renders it at 317 x 455 with adaptive anti-aliasing and no jitter. Nothing in
// the scene is random (area light and photons without jitter), so renders repeat exactly.
// Declare=Draft=1 renders it fast, without caustics, for trying out positions.

#version 3.7;

global_settings {
  assumed_gamma 1.0
  max_trace_level 12
  adc_bailout 1 / 512
  photons {
    spacing 0.002
    autostop 0
    jitter 0
  }
}

#include "dice.inc"

#ifndef (Draft)
  #declare Draft = 0;
#end

// A long lens from above and in front of the table.
#declare CameraAt = <0, 15.5, -10.5>;
#declare LookAt = <0.15, 0, 0.9>;
camera {
  perspective
  location CameraAt
  look_at LookAt
  right x * image_width / image_height
  angle 17
}

// A white table under a studio ceiling, bright overhead and grey towards the walls: the
// camera sees only the table, the faces of the dice reflect the rest.
sky_sphere {
  pigment {
    gradient y
    color_map {
      [0.00 rgb 0.45]
      [0.25 rgb 0.70]
      [0.60 rgb 1.00]
    }
  }
}
// A softbox high behind the dice, seen only in reflections.
box {
  <-1, -1, -0.02>, <1, 1, 0.02>
  scale <6, 3, 1>
  rotate x * -40
  translate <0, 12, 15>
  pigment { rgb 1 }
  finish { ambient 0 emission 1.6 diffuse 0 }
  no_image
  no_shadow
}
plane {
  y, 0
  pigment { rgb 1 }
  finish { ambient 0 emission 0.55 diffuse 0.78 }
}

// Key light behind and left of the dice, large and soft, casting the shadows towards the
// camera; a weak fill from the camera side that casts none.
light_source {
  <-9, 16, 9>
  color rgb 1.0
  #if (Draft)
    area_light <3.2, 0, 0>, <0, 0, 3.2>, 3, 3
  #else
    area_light <3.2, 0, 0>, <0, 0, 3.2>, 9, 9
  #end
  adaptive 1
  circular
  orient
  #if (!Draft) photons { refraction on reflection off } #end
}
light_source {
  CameraAt + <2, 4, 0>
  color rgb 0.28
  shadowless
}

// Pale green translucent resin with a glossy surface; numerals inked nearly black.
#declare Resin = texture {
  pigment { rgbf <0.84, 1.0, 0.84, 0.80> }
  finish {
    ambient 0
    emission 0.06
    diffuse 0.22
    specular 0.55
    roughness 0.01
    reflection { 0, 1 fresnel on }
    conserve_energy
  }
}
#declare ResinInterior = interior {
  ior 1.54
  fade_distance 0.7
  fade_power 1001
  fade_color <0.42, 0.80, 0.50>
}
#declare Ink = texture {
  pigment { rgb <0.05, 0.08, 0.06> }
  finish { ambient 0 diffuse 0.5 specular 0.15 roughness 0.02 }
}

// Where the dice stand (x, z on the table), their sizes (circumradius; ring radius for the
// d10) and turns about the vertical.
#ifndef (D20X) #declare D20X = 1.75; #end
#ifndef (D20Z) #declare D20Z = 3.05; #end
#ifndef (D20Size) #declare D20Size = 0.92; #end
#ifndef (D20Turn) #declare D20Turn = -158; #end
#ifndef (D10X) #declare D10X = -0.1; #end
#ifndef (D10Z) #declare D10Z = 2.78; #end
#ifndef (D10Size) #declare D10Size = 0.72; #end
#ifndef (D10Turn) #declare D10Turn = 20; #end
#ifndef (D4X) #declare D4X = 2.02; #end
#ifndef (D4Z) #declare D4Z = -2.95; #end
#ifndef (D4Size) #declare D4Size = 0.85; #end
#ifndef (D4Turn) #declare D4Turn = 40; #end

#macro Caustics()
  #if (!Draft) photons { target refraction on reflection off collect off } #end
#end

// d20, top right.
object {
  D20(D20Size, Resin, Ink, ResinInterior)
  D20Rest(0, D20Size, D20Turn)
  translate <D20X, 0, D20Z>
  Caustics()
}

// d10, left of the middle.
object {
  D10(D10Size, Resin, Ink, ResinInterior)
  D10Rest(7, D10Size, D10Turn)
  translate <D10X, 0, D10Z>
  Caustics()
}

// d4, bottom right.
object {
  D4(D4Size, Resin, Ink, ResinInterior)
  D4Rest(0, D4Size, D4Turn)
  translate <D4X, 0, D4Z>
  Caustics()
}
