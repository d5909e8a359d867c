// The crate falls onto the floor; Space blows the boxes away from the
// floor's centre; Escape ends the game.
var landed = false;

function startPhysics() {
  world.spawn();  // makes the bodies of the collisable and dynamic objects below
  engine.log('Bodies made');
}

// The floor's top is at z -35 and the crate is 16 high: it rests at z -27.
function watchCrate() {
  if (landed || crate.z > -26) return;
  landed = true;
  var near = crate.getNearObjects();
  engine.log('Crate on the floor, ' + near + ' tagged box near it');
}

function physicsKey(key) {
  if (key == VK_SPACE) {
    floor.explode(400, 100);
    engine.log('Boom');
  } else if (key == VK_ESCAPE) {
    engine.log('Bye');
    applet.terminate();
  }
}
