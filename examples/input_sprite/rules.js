// A ball that rolls to where the player clicks; the arrow keys nudge it.
var target = null;
var speed = 400;  // applet units a second

function ballTarget(x, y) {
  target = { x: Math.round(x), y: Math.round(y) };
  engine.log('Ball heads for ' + target.x + ',' + target.y);
  applet.update();  // ask for frames until the ball is there
}

function ballStep(seconds) {
  if (target == null) return;
  var dx = target.x - ball.position.x, dy = target.y - ball.position.y;
  var distance = Math.sqrt(dx * dx + dy * dy);
  var step = speed * seconds;
  if (distance <= step) {
    ball.position.x = target.x;
    ball.position.y = target.y;
    engine.log('Ball arrived at ' + ball.position.x + ',' + ball.position.y);
    target = null;
    return;
  }
  ball.position.x += dx / distance * step;
  ball.position.y += dy / distance * step;
  applet.update();
}

function ballKey(key) {
  if (key == VK_ESCAPE) {
    engine.log('Bye');
    applet.terminate();
    return;
  }
  var dx = 0, dy = 0;
  if (key == VK_LEFT) dx = -10;
  if (key == VK_RIGHT) dx = 10;
  if (key == VK_UP) dy = -10;
  if (key == VK_DOWN) dy = 10;
  if (dx == 0 && dy == 0) return;
  ball.position.x += dx;
  ball.position.y += dy;
  engine.log('Ball nudged to ' + ball.position.x + ',' + ball.position.y);
  applet.update();
}
